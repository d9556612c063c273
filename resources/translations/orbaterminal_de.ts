<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>StringTable</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>ORBATerminal

ORBATer
Filetype ORBATer (*.ter)
.ter
ORBATerminal.Document
ORBATer Document</source>
        <translation>ORBA Terminal

ORBATer
Dateityp ORBATer (*.ter)
.ter
ORBATerminal.Document
ORBATer Document</translation>
    </message>
    <message>
        <source>Send file...</source>
        <translation>Datei senden...</translation>
    </message>
    <message>
        <source>Failure opening the serial port!</source>
        <translation>Schnittstelle kann nicht geöffnet werden!</translation>
    </message>
    <message>
        <source>Failed to alloc the necessary resources!</source>
        <translation>Kommunikations-Resourcen nicht verfügbar!</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Klartext</translation>
    </message>
    <message>
        <source>Receive file...</source>
        <translation>Datei empfangen...</translation>
    </message>
    <message>
        <source>Bad CRC checksum while transferring file [%s]!</source>
        <translation>Fehlerhafte Prüfsumme beim Übertragen der Datei [%s]!</translation>
    </message>
    <message>
        <source>File [%s] has been received successfully!</source>
        <translation>Datei [%s] wurde erfolgreich übertragen!</translation>
    </message>
    <message>
        <source>Save terminal settings</source>
        <translation>Terminal Einstellungen speichern</translation>
    </message>
    <message>
        <source>Load terminal settings</source>
        <translation>Terminal Einstellungen laden</translation>
    </message>
    <message>
        <source>Terminal settings have been loaded and activated.</source>
        <translation>Die Terminal Einstellungen wurden geladen und sind aktiv.</translation>
    </message>
    <message>
        <source>Waiting for incoming UDP data...</source>
        <translation>Warte auf eingehende UDP Daten...</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Edit field for sending data
Edit field</source>
        <translation>Eingabefeld zum Senden von Daten
Eingabefeld</translation>
    </message>
    <message>
        <source>Send file
Send file</source>
        <translation>Datei seriell senden
Datei senden</translation>
    </message>
    <message>
        <source>Send input text
Send text</source>
        <translation>Text im Eingabefeld seriell senden (ohne CRLF)
Text senden (ohne CRLF)</translation>
    </message>
    <message>
        <source>Starts the terminal mode
Start</source>
        <translation>Startet den Terminalmodus
Start</translation>
    </message>
    <message>
        <source>Scrolls automatically to the end of the display
Auto-scroll</source>
        <translation>Rollt automatisch die Terminalanzeige zu dem neuesten Eintrag
Auto Rollen</translation>
    </message>
    <message>
        <source>Stops the terminal mode
Stop</source>
        <translation>Beendet den Terminalmodus
Stop</translation>
    </message>
    <message>
        <source>Local echo of sent data
Local echo</source>
        <translation>Zeigt gesendete Zeichen in Terminalanzeige
Lokales Echo</translation>
    </message>
    <message>
        <source>Com port settings
Com port</source>
        <translation>Schnittstelleneinstellungen
Schnittstelle</translation>
    </message>
    <message>
        <source>Clear input edit after sending data
Clear input</source>
        <translation>Eingabemaske rücksetzen
Eingabe rücksetzen</translation>
    </message>
    <message>
        <source>Configuration of a GATEX-W
GATEX-W config</source>
        <translation>Konfiguration einer GATEX-W
GATEX-W Konfig</translation>
    </message>
    <message>
        <source>Load settings
Loads existing settings from a file</source>
        <translation>Einstellungen laden
Vorhandene Einstellungen aus Datei laden</translation>
    </message>
    <message>
        <source>Save settings
Saves the current settings to a file</source>
        <translation>Einstellungen speichern
Aktuelle Einstellungen in Datei speichern</translation>
    </message>
    <message>
        <source>Character mapping
Character mapping</source>
        <translation>Sonderzeichen Anzeige
Sonderzeichen Anzeige</translation>
    </message>
    <message>
        <source>Hotkey configuration
Hotkeys</source>
        <translation>Schnelltasten Einstellungen
Schnelltasten</translation>
    </message>
    <message>
        <source>In/Output in hexadecimal notation
Hex mode</source>
        <translation>Ein/Ausgabe von Zeichen in Hexadezimal-Form
Hex-Modus</translation>
    </message>
    <message>
        <source>Send file to r+k-Printer
Send file to r+k-Printer</source>
        <translation>Senden einer Datei an r+k-Drucker
r+k-Drucker Datei senden</translation>
    </message>
    <message>
        <source>Show ORBATerminal
Show</source>
        <translation>ORBATerminal anzeigen
Anzeigen</translation>
    </message>
    <message>
        <source>Receive file from r+k-Printer
Receive file from r+k-Printer</source>
        <translation>r+k Drucker Datei empfangen
r+k Drucker Datei empfangen</translation>
    </message>
    <message>
        <source>Close ORBATerminal
Close</source>
        <translation>ORBATerminal beenden
Beenden</translation>
    </message>
    <message>
        <source>Show/hide the hotkey bar
Toggle hotkey bar</source>
        <translation>Blendet die Schnelltastenleiste ein oder aus.
Schnelltastenleiste ein-/ausschalten</translation>
    </message>
    <message>
        <source>Clears the display
New</source>
        <translation>Löscht die Terminalanzeige
Initialisieren</translation>
    </message>
    <message>
        <source>Opens a saved terminal file
Open</source>
        <translation>Öffnet eine gespeicherte Terminaldatei
Öffnen</translation>
    </message>
    <message>
        <source>Saves the current display
Save</source>
        <translation>Speichert die aktuelle Terminalanzeige
Speichern</translation>
    </message>
    <message>
        <source>Saves the current display using a new name.
Save as</source>
        <translation>Speichert die aktuelle Terminalanzeige unter einem neuen Namen.
Speichern unter</translation>
    </message>
    <message>
        <source>Chages the printer options
Printer setup</source>
        <translation>Ändert die Druckeroptionen
Druckereinrichtung</translation>
    </message>
    <message>
        <source>Prints the current display
Print</source>
        <translation>Druckt die aktuelle Terminalanzeige
Drucken</translation>
    </message>
    <message>
        <source>Print Preview
Print preview</source>
        <translation>Seitenansicht
Seitenansicht</translation>
    </message>
    <message>
        <source>Opens document
Open document</source>
        <translation>Öffnet das Dokument
Dokument öffnen</translation>
    </message>
    <message>
        <source>Copies the selection to the clipboard
Copy</source>
        <translation>Kopiert die Markierung in die Zwischenablage
Kopieren</translation>
    </message>
    <message>
        <source>Shows program information and version
About</source>
        <translation>Zeigt Programminformationen und Version an
Info</translation>
    </message>
    <message>
        <source>Closes the program
Close</source>
        <translation>Beendet das Programm
Beenden</translation>
    </message>
    <message>
        <source>Shows or hides the toolbar
Toggle toolbar</source>
        <translation>Blendet die Symbolleiste ein oder aus
Symbolleiste ein-/ausschalten</translation>
    </message>
    <message>
        <source>Shows or hides the status bar
Toggle status bar</source>
        <translation>Blendet die Statusleiste ein oder aus
Statusleiste ein-/ausschalten</translation>
    </message>
</context>
<context>
    <name>SettingsFiles</name>
    <message>
        <source>Terminal settings files (*.SPT)|*.SPT|All Files (*.*)|*.*||</source>
        <translation>Terminal-Einstellungsdateien (*.SPT)|*.SPT|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Terminal setting file (*.SPT)|*.SPT|All Files (*.*)|*.*||</source>
        <translation>Terminal-Einstellungsdatei (*.SPT)|*.SPT|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>The settings file %1 could not be copied to %2. The settings stay as they were.</source>
        <translation>Die Einstellungsdatei %1 konnte nicht nach %2 kopiert werden. Die Einstellungen bleiben unverändert.</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1.
%2
They apply until the program ends.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden.
%2
Sie gelten, bis das Programm beendet wird.</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1.
%2</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden.
%2</translation>
    </message>
</context>
<context>
    <name>CRuKTerminalApp</name>
    <message>
        <source>Terminal for building-automation equipment</source>
        <translation>Terminal für Geräte der Gebäudeautomation</translation>
    </message>
    <message>
        <source>Use FILE as the settings file.</source>
        <translation>FILE als Einstellungsdatei verwenden.</translation>
    </message>
    <message>
        <source>A saved terminal display (.ter) to show.</source>
        <translation>Eine gespeicherte Terminalanzeige (.ter), die angezeigt wird.</translation>
    </message>
</context>
<context>
    <name>CConnectWaitDlg</name>
    <message>
        <source>Opening connection...</source>
        <translation>Verbindungsaufbau...</translation>
    </message>
    <message>
        <source>Waiting for incoming connection...</source>
        <translation>Warte auf eingehende Netzwerkverbindung...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
</context>
<context>
    <name>CNetPort</name>
    <message>
        <source>Error connecting to port (socket error: %1)!</source>
        <translation>Fehler beim Verbindungsaufbau (Socket-Fehler: %1)!</translation>
    </message>
    <message>
        <source>Error writing to port (socket error: %1)!</source>
        <translation>Fehler beim Senden über die Schnittstelle (Socket-Fehler: %1)!</translation>
    </message>
    <message>
        <source>Error writing to port (blocking)!</source>
        <translation>Fehler beim Senden über die Schnittstelle (blockiert)!</translation>
    </message>
    <message>
        <source>Error writing to port (timeout)!</source>
        <translation>Fehler beim Senden über die Schnittstelle (Zeitüberschreitung)!</translation>
    </message>
</context>
<context>
    <name>CCharMapDlg</name>
    <message>
        <source>Definition character code - text</source>
        <translation>Definition Sonderzeichen - Klartext</translation>
    </message>
    <message>
        <source>Activate the character mapping</source>
        <translation>Sonderzeichen-Umwandlung aktiv</translation>
    </message>
    <message>
        <source>Charcter code (hex):</source>
        <translation>Sonderzeichen-Code (Hex):</translation>
    </message>
    <message>
        <source>Display text:</source>
        <translation>Zugehöriger Klartext:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzu</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
</context>
<context>
    <name>CHotKeyDlg</name>
    <message>
        <source>Hotkey configuration</source>
        <translation>Schnelltasten Konfiguration</translation>
    </message>
    <message>
        <source>F%1:</source>
        <translation>F%1:</translation>
    </message>
    <message>
        <source>+CRLF</source>
        <translation>+CRLF</translation>
    </message>
    <message>
        <source>Hex-Data</source>
        <translation>Hex-Data</translation>
    </message>
    <message>
        <source>Activate on data receive : </source>
        <translation>Aktivieren bei Empfang von : </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About ORBA Terminal</source>
        <translation>Info über ORBA Terminal</translation>
    </message>
    <message>
        <source>ORBATerminal Version %1</source>
        <translation>ORBA Terminal Version %1</translation>
    </message>
</context>
<context>
    <name>CDisplayPrinter</name>
    <message>
        <source>The display could not be printed to %1.</source>
        <translation>Die Terminalanzeige konnte nicht auf %1 gedruckt werden.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Print preview</source>
        <translation>Seitenansicht</translation>
    </message>
    <message>
        <source>Printer setup</source>
        <translation>Druckereinrichtung</translation>
    </message>
</context>
<context>
    <name>CHotKeyBar</name>
    <message>
        <source>Sends the text of hotkey F%1</source>
        <translation>Sendet den Text der Schnelltaste F%1</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;New	Strg+N</source>
        <translation>I&amp;nitialisieren	Strg+N</translation>
    </message>
    <message>
        <source>&amp;Open...	Strg+O</source>
        <translation>Ö&amp;ffnen...	Strg+O</translation>
    </message>
    <message>
        <source>&amp;Save	Strg+S</source>
        <translation>S&amp;peichern	Strg+S</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Load settings...</source>
        <translation>Einstellungen &amp;laden...</translation>
    </message>
    <message>
        <source>Save sett&amp;ings...</source>
        <translation>E&amp;instellungen speichern...</translation>
    </message>
    <message>
        <source>&amp;Print...	Strg+P</source>
        <translation>&amp;Drucken...	Strg+P</translation>
    </message>
    <message>
        <source>Print pre&amp;view</source>
        <translation>Sei&amp;tenansicht</translation>
    </message>
    <message>
        <source>Printe&amp;r setup...</source>
        <translation>Drucker&amp;einrichtung...</translation>
    </message>
    <message>
        <source>Letzte Datei</source>
        <translation>Letzte Datei</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Co&amp;py</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>Alles &amp;markieren</translation>
    </message>
    <message>
        <source>Cuts the selection and puts it on the clipboard</source>
        <translation>Schneidet die Markierung aus und legt sie in die Zwischenablage</translation>
    </message>
    <message>
        <source>Erases the selection</source>
        <translation>Löscht die Markierung</translation>
    </message>
    <message>
        <source>Selects everything</source>
        <translation>Markiert alles</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Symbolleiste</translation>
    </message>
    <message>
        <source>S&amp;tatusbar</source>
        <translation>S&amp;tatusleiste</translation>
    </message>
    <message>
        <source>&amp;Hotkeybar</source>
        <translation>&amp;Schnelltastenleiste</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>Send &amp;file</source>
        <translation>&amp;Datei senden</translation>
    </message>
    <message>
        <source>Send &amp;input text</source>
        <translation>&amp;Eingabefeld senden</translation>
    </message>
    <message>
        <source>&amp;Communication port / generic settings</source>
        <translation>&amp;Schnittstelle / Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>The port settings come with a later version.</source>
        <translation>Die Schnittstelleneinstellungen folgen in einer späteren Version.</translation>
    </message>
    <message>
        <source>&amp;Local echo</source>
        <translation>&amp;Lokales Echo</translation>
    </message>
    <message>
        <source>&amp;Auto-scroll</source>
        <translation>&amp;Auto-Rollen</translation>
    </message>
    <message>
        <source>C&amp;lear input</source>
        <translation>&amp;Eingabemaske rücksetzen</translation>
    </message>
    <message>
        <source>&amp;Hex mode (In/Output)</source>
        <translation>&amp;Hexadezimal-Modus (Ein- und Ausgabe)</translation>
    </message>
    <message>
        <source>&amp;Timestamp in each line</source>
        <translation>&amp;Zeitstempel pro neue Zeile</translation>
    </message>
    <message>
        <source>Character ma&amp;pping...</source>
        <translation>S&amp;onderzeichen Anzeige...</translation>
    </message>
    <message>
        <source>&amp;Hotkeys...</source>
        <translation>Sch&amp;nelltasten...</translation>
    </message>
    <message>
        <source>&amp;Media gateway...</source>
        <translation>&amp;Medientechnik-Gateway...</translation>
    </message>
    <message>
        <source>The media gateway configuration comes with a later version.</source>
        <translation>Die Konfiguration des Medientechnik-Gateways folgt in einer späteren Version.</translation>
    </message>
    <message>
        <source>Sending files comes with a later version.</source>
        <translation>Das Senden von Dateien folgt in einer späteren Version.</translation>
    </message>
    <message>
        <source>Inf&amp;o about ORBA Terminal...</source>
        <translation>Inf&amp;o über ORBA Terminal...</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>A&amp;nsicht</translation>
    </message>
    <message>
        <source>&amp;Terminal</source>
        <translation>&amp;Terminal</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Input bar</source>
        <translation>Eingabeleiste</translation>
    </message>
    <message>
        <source>Send activity</source>
        <translation>Sendeaktivität</translation>
    </message>
    <message>
        <source>Receive activity</source>
        <translation>Empfangsaktivität</translation>
    </message>
    <message>
        <source>Send progress</source>
        <translation>Sendefortschritt</translation>
    </message>
    <message>
        <source>Hotkey bar</source>
        <translation>Schnelltastenleiste</translation>
    </message>
</context>
<context>
    <name>CRuKTerminalDoc</name>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>The file %1 could not be opened.</source>
        <translation>Die Datei %1 konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>It does not exist.</source>
        <translation>Sie existiert nicht.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
    <message>
        <source>It is larger than the display can hold (%1 MB).</source>
        <translation>Sie ist größer, als die Terminalanzeige fassen kann (%1 MB).</translation>
    </message>
    <message>
        <source>You have no permission to read it.</source>
        <translation>Sie haben keine Berechtigung, sie zu lesen.</translation>
    </message>
    <message>
        <source>The file %1 could not be saved.</source>
        <translation>Die Datei %1 konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
</context>
<context>
    <name>CTrayIcon</name>
    <message>
        <source>Show ORBATerminal</source>
        <translation>ORBA Terminal anzeigen</translation>
    </message>
    <message>
        <source>Close ORBATerminal</source>
        <translation>ORBA Terminal beenden</translation>
    </message>
</context>
<context>
    <name>AtomicFile</name>
    <message>
        <source>The disk is full.</source>
        <translation>Der Datenträger ist voll.</translation>
    </message>
    <message>
        <source>Access was denied.</source>
        <translation>Der Zugriff wurde verweigert.</translation>
    </message>
    <message>
        <source>The disk is write-protected.</source>
        <translation>Der Datenträger ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation>Der Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
</context>
</TS>
