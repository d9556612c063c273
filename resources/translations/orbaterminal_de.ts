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
</TS>
