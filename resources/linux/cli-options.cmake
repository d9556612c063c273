# The program's command-line options: the one list that its manual page and its
# bash completion are made from (resources/linux/CMakeLists.txt). An option added
# to the program gets its line here.
#
#   orba_option(SPELLINGS VALUE COMPLETION TEXT)
#
# SPELLINGS  the ways to write it, separated by spaces ("-v --version")
# VALUE      the name of its value as the page shows it ("FILE"), "" for none
# COMPLETION what bash offers for the value: "file" (any file), "ter" (.ter
#            files), "serial" (the serial devices present, COM1 to COM8),
#            "usb" (the USB printers present), words separated by spaces
#            ("none xonxoff"), or "" (nothing: a value only the user knows,
#            such as a host or a number)
# TEXT       its description in the manual page, in roff: \fIFILE\fR for the
#            value, \- for a minus sign; a line starting with a dot is a request

orba_option("--ini" "FILE" "file" [=[
Use \fIFILE\fR as the settings file instead of the one described under
\fBFILES\fR.
It is created when the program first saves a setting.
Several configurations can live side by side this way.]=])

orba_option("--start" "" "" [=[
Start the terminal at once with the stored settings, as \fBTerminal \(->
Start\fR does, with the window shown.]=])

orba_option("-Automation /Automation" "" "" [=[
Start minimized (into the notification area where the desktop has one) and start
the terminal with the stored settings.
Letter case is ignored.]=])

orba_option("--serial" "DEVICE" "serial" [=[
Open a serial link on \fIDEVICE\fR at once: a device path such as
\fI/dev/ttyUSB0\fR or \fI/dev/serial/by\-id/...\fR, or \fBCOM\fR\fIn\fR
(\fI/dev/ttyS\fR\fIn\-1\fR).
The line settings not given below are the settings file's.]=])

orba_option("--baud" "N" "300 1200 2400 4800 9600 19200 38400 57600 115200 230400" [=[
The baud rate of the serial link; any rate the adapter can make.]=])

orba_option("--format" "8N1" "8N1 8E1 8O1 7E1 7O1 8N2 7E2" [=[
Data bits (5 to 8), parity (\fBN\fRone, \fBE\fRven or \fBO\fRdd) and stop
bits (1 or 2) of the serial link.]=])

orba_option("--handshake" "MODE" "none xonxoff hardware rtscts dtrdsr" [=[
The handshake of the serial link: \fBnone\fR, \fBxonxoff\fR, \fBhardware\fR
(RTS/CTS and DTR/DSR), \fBrtscts\fR or \fBdtrdsr\fR.]=])

orba_option("--tcp" "HOST:PORT" "" [=[
Connect to \fIHOST\fR:\fIPORT\fR as a TCP client at once.]=])

orba_option("--listen" "PORT" "" [=[
Wait for a TCP connection on \fIPORT\fR at once; when the peer leaves, wait for
the next one.]=])

orba_option("--udp" "HOST:PORT" "" [=[
Exchange UDP datagrams with \fIHOST\fR:\fIPORT\fR at once.]=])

orba_option("--udp-listen" "PORT" "" [=[
Wait for UDP data on \fIPORT\fR at once and answer its sender.]=])

orba_option("--usb" "NAME" "usb" [=[
Open a USB printer at once: its name as the port settings list it, its
\fBusb:\fR path (the socket it is plugged into) or a device path.]=])

orba_option("--log" "FILE" "file" [=[
Log what the display shows to \fIFILE\fR; \fB\-\fR is standard output.]=])

orba_option("--timestamps" "" "" [=[
Start every line with its date and time.]=])

orba_option("--hex" "" "" [=[
Show and log the bytes in hexadecimal mode.]=])

orba_option("--headless" "" "" [=[
Run without a window and without a display: what arrives goes to the log
(standard output unless \fB\-\-log\fR or the settings file name a log file),
every change of the link and every message to standard error, one line each
with the time.
Links heal as in the window, hotkeys answer received text as set up.
SIGINT (Ctrl+C) or SIGTERM ends it with everything written and exit status 0; a
link that cannot be opened at the start ends it with status 1.]=])

orba_option("-h --help" "" "" [=[
Print the options and exit.]=])

orba_option("-v --version" "" "" [=[
Print the program's name and version and exit.]=])
