# The program's command-line options: the one list that its manual page and its
# bash completion are made from (resources/linux/CMakeLists.txt). An option added
# to the program gets its line here.
#
#   orba_option(SPELLINGS VALUE COMPLETION TEXT)
#
# SPELLINGS  the ways to write it, separated by spaces ("-v --version")
# VALUE      the name of its value as the page shows it ("FILE"), "" for none
# COMPLETION what bash offers for the value: "file" (any file), "ter" (.ter
#            files), words separated by spaces ("none xonxoff"), or "" (nothing:
#            a value only the user knows, such as a host or a number)
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

orba_option("-h --help" "" "" [=[
Print the options and exit.]=])

orba_option("-v --version" "" "" [=[
Print the program's name and version and exit.]=])
