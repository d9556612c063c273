#pragma once

// Makes a write to a pipe or socket whose reader has gone fail with EPIPE
// instead of ending the program: every such write reports its own failure.
void ignoreBrokenPipes();
