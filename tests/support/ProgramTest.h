#pragma once

#include "support/LinkTestBase.h"

#include <memory>

// The terminal, or the window around one, from the INI written so far: on a
// test link whose far end the test holds, or on the real ports.
template<typename Program>
class ProgramTest : public LinkTestBase
{
protected:
    ~ProgramTest() override { program.reset(); }

    virtual void create(bool realPorts = false)
    {
        program.reset();
        auto ports = std::make_unique<CTestPorts>(&link);
        testPorts = realPorts ? nullptr : ports.get();
        program = std::make_unique<Program>(iniPath, realPorts ? nullptr : std::move(ports));
    }
    // The same, and the terminal started with its local echo off.
    void start(bool realPorts = false)
    {
        create(realPorts);
        program->settings().localEcho = false;
        program->OnTerminalStart();
        ASSERT_TRUE(program->isRunning());
    }
    QByteArray sentSoFar() { return LinkTestBase::sentSoFar(program->currentPort()); }
    // `text` between STX and ETX, as every text goes out.
    static QByteArray framed(const QByteArray &text, const QByteArray &after = {})
    {
        return '\x02' + text + '\x03' + after;
    }
    static QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }

    std::unique_ptr<Program> program;
};
