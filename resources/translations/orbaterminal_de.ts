<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
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
        <source>Character code (hex):</source>
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
    <name>CDisplayModel</name>
    <message>
        <source>[Older text was removed here: the display keeps the last %1 MB]</source>
        <translation>[Älterer Text wurde hier entfernt: die Anzeige behält die letzten %1 MB]</translation>
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
    <name>CFindBar</name>
    <message>
        <source>Match case</source>
        <translation>Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Suchen:</translation>
    </message>
    <message>
        <source>Enter: next match, Shift+Enter: previous match, Escape: close</source>
        <translation>Enter: nächster Treffer, Umschalt+Enter: vorheriger Treffer, Esc: schließen</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Previous match (Shift+Enter)</source>
        <translation>Vorheriger Treffer (Umschalt+Enter)</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Next match (Enter)</source>
        <translation>Nächster Treffer (Enter)</translation>
    </message>
    <message>
        <source>Close the find bar (Escape)</source>
        <translation>Suchleiste schließen (Esc)</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Continued from the top</source>
        <translation>Von oben fortgesetzt</translation>
    </message>
    <message>
        <source>Continued from the bottom</source>
        <translation>Von unten fortgesetzt</translation>
    </message>
    <message>
        <source>Auto-scroll waits while a match is shown</source>
        <translation>Auto-Rollen ruht während der Suche</translation>
    </message>
</context>
<context>
    <name>CGatewayDlg</name>
    <message>
        <source>Media Gateway configuration</source>
        <translation>Medientechnik-Gateway Konfiguration</translation>
    </message>
    <message>
        <source>Generic settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>OD : Decimal sign</source>
        <translation>OD : Dezimalpunkt</translation>
    </message>
    <message>
        <source>OE : Echo own write telegrams</source>
        <translation>OE : Echo von eigenen Telegrammen</translation>
    </message>
    <message>
        <source>OG : German language</source>
        <translation>OG : Sprache Deutsch</translation>
    </message>
    <message>
        <source>OH : RTS/CTS handshake</source>
        <translation>OH : RTS/CTS Handshake</translation>
    </message>
    <message>
        <source>ON : Telegram numbering</source>
        <translation>ON : Telegrammnummerierung</translation>
    </message>
    <message>
        <source>OR : Read locked groupaddresses</source>
        <translation>OR : Lesen von gesperrten Gruppenadressen</translation>
    </message>
    <message>
        <source>OS : Send sourceaddress</source>
        <translation>OS : Quelladresse an Host senden</translation>
    </message>
    <message>
        <source>OV : Verbose mode</source>
        <translation>OV : Dialoghinweise</translation>
    </message>
    <message>
        <source>OX : Display addresses hexadecimal</source>
        <translation>OX : Hexadezimale Adresswerte</translation>
    </message>
    <message>
        <source>OQ : Send query telegrams to host</source>
        <translation>OQ : Lesetelegramme an Host senden</translation>
    </message>
    <message>
        <source>OW : &quot;Please wait&quot; message</source>
        <translation>OW : &quot;Bitte warten&quot;-Meldung</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Übertragen</translation>
    </message>
    <message>
        <source>Physical address</source>
        <translation>Physikalische Adresse</translation>
    </message>
    <message>
        <source>P:PA  Physical address:</source>
        <translation>P:PA  Physikalische Adresse:</translation>
    </message>
    <message>
        <source>Groupaddress settings</source>
        <translation>Gruppenadress-Einstellungen</translation>
    </message>
    <message>
        <source>GA:</source>
        <translation>GA:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Receive:</source>
        <translation>Empfang:</translation>
    </message>
    <message>
        <source>E: Enabled</source>
        <translation>E: Empfang freigegeben</translation>
    </message>
    <message>
        <source>D: Disabled</source>
        <translation>D: Empfang deaktiviert</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove all</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>GA list:</source>
        <translation>Liste:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Entries of the section &quot;GAS&quot; that are no EIB group address (bit 15 of the address set, or no 32-bit number) were left out; they will be missing from the INI file when this dialog closes. Entries left out: %1</source>
        <translation>Einträge des Abschnitts &quot;GAS&quot;, die keine EIB-Gruppenadresse sind (Bit 15 der Adresse gesetzt oder keine 32-Bit-Zahl), wurden ausgelassen; sie fehlen in der INI-Datei, sobald dieser Dialog geschlossen wird. Ausgelassene Einträge: %1</translation>
    </message>
    <message>
        <source>Entries of the section &quot;GAS&quot; with a format outside 1 - 21 or a receive flag above 1 now have format 1 or receive disabled. Entries changed: %1</source>
        <translation>Einträge des Abschnitts &quot;GAS&quot; mit einem Format außerhalb von 1 - 21 oder einem Empfangswert über 1 haben jetzt Format 1 bzw. Empfang deaktiviert. Geänderte Einträge: %1</translation>
    </message>
    <message>
        <source>The gateway settings could not be written to the INI file
%1

Close the dialog all the same? The changes since it opened will be lost.</source>
        <translation>Die Gateway-Einstellungen konnten nicht in die INI-Datei
%1
geschrieben werden.

Den Dialog trotzdem schließen? Die Änderungen seit dem Öffnen gehen dann verloren.</translation>
    </message>
    <message>
        <source>The address file could not be written:
%1

%2</source>
        <translation>Die Adressdatei konnte nicht geschrieben werden:
%1

%2</translation>
    </message>
    <message>
        <source>The address file could not be opened:
%1

%2</source>
        <translation>Die Adressdatei konnte nicht geöffnet werden:
%1

%2</translation>
    </message>
    <message>
        <source>Reading stopped at line %1, which is empty or does not begin with &quot;S&quot;; the rest of the file was not read.</source>
        <translation>Das Lesen endete in Zeile %1, die leer ist oder nicht mit &quot;S&quot; beginnt; der Rest der Datei wurde nicht gelesen.</translation>
    </message>
    <message>
        <source>Lines that name no valid EIB group address (bit 15 set, as by main group 16) were left out. Lines left out: %1</source>
        <translation>Zeilen ohne gültige EIB-Gruppenadresse (Bit 15 gesetzt, etwa durch Hauptgruppe 16) wurden ausgelassen. Ausgelassene Zeilen: %1</translation>
    </message>
    <message>
        <source>Lines with a format outside 1 - 21 now have format 1. Lines changed: %1</source>
        <translation>Zeilen mit einem Format außerhalb von 1 - 21 haben jetzt Format 1. Geänderte Zeilen: %1</translation>
    </message>
    <message>
        <source>The file holds no group address definition; the table is unchanged.</source>
        <translation>Die Datei enthält keine Gruppenadress-Definition; die Liste bleibt unverändert.</translation>
    </message>
    <message>
        <source>Group address definitions read: %1</source>
        <translation>Gelesene Gruppenadress-Definitionen: %1</translation>
    </message>
    <message>
        <source>The .GA file could not be opened:
%1

%2</source>
        <translation>Die .GA-Datei konnte nicht geöffnet werden:
%1

%2</translation>
    </message>
    <message>
        <source>The .GA file could not be read:
%1

%2</source>
        <translation>Die .GA-Datei konnte nicht gelesen werden:
%1

%2</translation>
    </message>
    <message>
        <source>%1

This is no .GA address file: its header does not begin with &quot;GRPADRLST&quot;. The table is unchanged.</source>
        <translation>%1

Dies ist keine .GA-Adressdatei: ihr Kopf beginnt nicht mit &quot;GRPADRLST&quot;. Die Liste bleibt unverändert.</translation>
    </message>
    <message>
        <source>%1

The records of this .GA file are %2 bytes long; only records of 160 bytes can be read. The table is unchanged.</source>
        <translation>%1

Die Datensätze dieser .GA-Datei sind %2 Bytes lang; gelesen werden können nur Datensätze von 160 Bytes. Die Liste bleibt unverändert.</translation>
    </message>
    <message>
        <source>%1

The file holds no valid group address. The table is unchanged.</source>
        <translation>%1

Die Datei enthält keine gültige Gruppenadresse. Die Liste bleibt unverändert.</translation>
    </message>
    <message>
        <source>%1

Group addresses imported: %2. The file ends with an incomplete record of %3 bytes, which was ignored.</source>
        <translation>%1

Importierte Gruppenadressen: %2. Die Datei endet mit einem unvollständigen Datensatz von %3 Bytes, der übergangen wurde.</translation>
    </message>
</context>
<context>
    <name>CGatewaySession</name>
    <message>
        <source>The terminal was stopped during the pause after &quot;ERASE!&quot;. The gateway&apos;s group address table has been erased, but the new definitions were not sent.

Definitions not sent: %1</source>
        <translation>Das Terminal wurde während der Pause nach &quot;ERASE!&quot; gestoppt. Die Gruppenadressliste des Gateways ist gelöscht, die neuen Definitionen wurden aber nicht gesendet.

Nicht gesendete Definitionen: %1</translation>
    </message>
</context>
<context>
    <name>CHotKeyBar</name>
    <message>
        <source>Sends the text of hotkey F%1</source>
        <translation>Sendet den Text der Schnelltaste F%1</translation>
    </message>
    <message>
        <source>Hex-Data: in hex mode the text is sent as the bytes its hex digits give; in text mode it is sent as it is written.</source>
        <translation>Hex-Data: im Hexadezimal-Modus wird der Text als die Bytes seiner Hex-Ziffern gesendet, im Textmodus so, wie er geschrieben ist.</translation>
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
        <source>Activate on data receive:</source>
        <translation>Aktivieren bei Empfang von:</translation>
    </message>
    <message>
        <source>Hex-Data is used in hex mode only: there the text&apos;s hex digits (blanks ignored, two per byte) are sent as bytes. In text mode the text is sent as it is written.</source>
        <translation>Hex-Data gilt nur im Hexadezimal-Modus: dort werden die Hex-Ziffern des Textes (Leerzeichen übergangen, zwei je Byte) als Bytes gesendet. Im Textmodus wird der Text gesendet, wie er geschrieben ist.</translation>
    </message>
    <message>
        <source>When this text arrives, the hotkey is sent by itself (auto-reply), also across received blocks.</source>
        <translation>Trifft dieser Text ein, wird die Schnelltaste von selbst gesendet (automatische Antwort), auch über empfangene Blöcke hinweg.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
    <message>
        <source>Framing is &quot;none&quot;: the text&apos;s hex digits (blanks ignored, whole pairs) are sent as bytes in either mode, and the receive text is read as hex bytes too, e.g. 01 03 00 00 00 01.</source>
        <translation>Rahmung „keine“: die Hex-Ziffern des Textes (Leerzeichen übergangen, ganze Paare) werden in beiden Modi als Bytes gesendet, und auch der Empfangstext wird als Hex-Bytes gelesen, z. B. 01 03 00 00 00 01.</translation>
    </message>
    <message>
        <source>Not whole pairs of hex digits: with framing &quot;none&quot; this cannot be sent or matched.</source>
        <translation>Keine ganzen Paare von Hex-Ziffern: mit Rahmung „keine“ lässt sich das weder senden noch erkennen.</translation>
    </message>
</context>
<context>
    <name>CInputBar</name>
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
    <message numerus="yes">
        <source>%n lines in the input: each is sent as a text of its own, empty ones not at all.</source>
        <translation>
            <numerusform>%n Zeile im Eingabefeld: sie wird als eigener Text gesendet.</numerusform>
            <numerusform>%n Zeilen im Eingabefeld: jede wird als eigener Text gesendet, leere gar nicht.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CLogStatusPane</name>
    <message>
        <source>Log not written</source>
        <translation>Logfile nicht geschrieben</translation>
    </message>
    <message>
        <source>The log file %1 cannot be written: %2.</source>
        <translation>Das Logfile %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>The log file %1 is written again; %2 bytes could not be logged.</source>
        <translation>Das Logfile %1 wird wieder geschrieben; %2 Bytes konnten nicht protokolliert werden.</translation>
    </message>
</context>
<context>
    <name>CLogWriter</name>
    <message>
        <source>it is not a regular file</source>
        <translation>es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>the disk quota is used up</source>
        <translation>das Speicherkontingent ist aufgebraucht</translation>
    </message>
    <message>
        <source>the file has reached the largest size allowed</source>
        <translation>die Datei hat die größte erlaubte Größe erreicht</translation>
    </message>
    <message>
        <source>there is no permission to write it</source>
        <translation>es fehlt die Berechtigung, es zu schreiben</translation>
    </message>
    <message>
        <source>it is on a read-only file system</source>
        <translation>es liegt auf einem schreibgeschützten Dateisystem</translation>
    </message>
    <message>
        <source>its folder does not exist</source>
        <translation>sein Ordner existiert nicht</translation>
    </message>
    <message>
        <source>a part of its path is not a folder</source>
        <translation>ein Teil seines Pfades ist kein Ordner</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>its path is too long</source>
        <translation>sein Pfad ist zu lang</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;New</source>
        <translation>I&amp;nitialisieren</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>S&amp;peichern</translation>
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
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
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
        <source>Recent file</source>
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
        <source>&amp;Cancel file reception</source>
        <translation>Dateiempfang &amp;abbrechen</translation>
    </message>
    <message>
        <source>Ends the reception of a file from the r+k printer</source>
        <translation>Beendet den Empfang einer Datei vom r+k-Drucker</translation>
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
        <source>Hotkey bar</source>
        <translation>Schnelltastenleiste</translation>
    </message>
    <message>
        <source>Clear display</source>
        <translation>Anzeige löschen</translation>
    </message>
    <message>
        <source>Send &amp;options...</source>
        <translation>Sen&amp;deoptionen...</translation>
    </message>
</context>
<context>
    <name>CModemLamps</name>
    <message>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <source>Send &amp;break</source>
        <translation>&amp;Break senden</translation>
    </message>
    <message>
        <source>The device has no modem lines (a pseudo-terminal, some adapters).</source>
        <translation>Das Gerät hat keine Modemleitungen (ein Pseudo-Terminal, manche Adapter).</translation>
    </message>
    <message>
        <source>Sends a break of 250 ms on the serial line</source>
        <translation>Sendet einen Break von 250 ms auf der seriellen Leitung</translation>
    </message>
    <message>
        <source>up</source>
        <translation>aktiv</translation>
    </message>
    <message>
        <source>down</source>
        <translation>inaktiv</translation>
    </message>
    <message>
        <source>Driven by the handshake chosen in the port settings</source>
        <translation>Vom in den Schnittstellen-Einstellungen gewählten Handshake gesteuert</translation>
    </message>
    <message>
        <source>Click to raise or drop the line</source>
        <translation>Klicken, um die Leitung zu setzen oder zurückzusetzen</translation>
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
    <name>CPortSettingsDlg</name>
    <message>
        <source>Port settings...</source>
        <translation>Schnittstelle...</translation>
    </message>
    <message>
        <source>Connection:</source>
        <translation>Verbindung:</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Seriell</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Com port:</source>
        <translation>Schnittstelle:</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Baud rate:</source>
        <translation>Baudrate:</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>Parität:</translation>
    </message>
    <message>
        <source>N (none)</source>
        <translation>N (keine)</translation>
    </message>
    <message>
        <source>E (even)</source>
        <translation>E (gerade)</translation>
    </message>
    <message>
        <source>O (odd)</source>
        <translation>O (ungerade)</translation>
    </message>
    <message>
        <source>Data bits:</source>
        <translation>Datenbits:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protokoll:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ohne</translation>
    </message>
    <message>
        <source>XOn/XOff</source>
        <translation>XOn/XOff</translation>
    </message>
    <message>
        <source>Hardware (RTS/CTS/DTR/DTS)</source>
        <translation>Hardware (RTS/CTS/DTR/DTS)</translation>
    </message>
    <message>
        <source>Hardware (RTS/CTS)</source>
        <translation>Hardware (RTS/CTS)</translation>
    </message>
    <message>
        <source>Hardware (DTR/DTS)</source>
        <translation>Hardware (DTR/DTS)</translation>
    </message>
    <message>
        <source>Stop bits:</source>
        <translation>Stopbits:</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP-Adresse:</translation>
    </message>
    <message>
        <source>(empty=server)</source>
        <translation>(leer=Server)</translation>
    </message>
    <message>
        <source>Port number:</source>
        <translation>Portnummer:</translation>
    </message>
    <message>
        <source>UDP connection</source>
        <translation>UDP Verbindung</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Gerät:</translation>
    </message>
    <message>
        <source>Limit display buffer to:</source>
        <translation>Anzeigebuffer begrenzen auf:</translation>
    </message>
    <message>
        <source>KByte</source>
        <translation>KByte</translation>
    </message>
    <message>
        <source>Display logfile:</source>
        <translation>Anzeige-Logfile:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
    <message>
        <source>Choose the log file</source>
        <translation>Logdatei wählen</translation>
    </message>
    <message>
        <source>Reads the serial devices present again</source>
        <translation>Liest die vorhandenen seriellen Geräte neu ein</translation>
    </message>
    <message>
        <source>Reads the USB printers present again</source>
        <translation>Liest die vorhandenen USB-Drucker neu ein</translation>
    </message>
    <message>
        <source>Display logfile</source>
        <translation>Anzeige-Logfile</translation>
    </message>
    <message>
        <source>Log files (*.log)|*.log|All Files (*.*)|*.*||</source>
        <translation>Logdateien (*.log)|*.log|Alle Dateien (*.*)|*.*||</translation>
    </message>
</context>
<context>
    <name>CPortSettingsForm</name>
    <message>
        <source>(absent)</source>
        <translation>(nicht vorhanden)</translation>
    </message>
</context>
<context>
    <name>CPrinterFileNameDlg</name>
    <message>
        <source>r+k Printer file name</source>
        <translation>Dateiname im r+k Drucker</translation>
    </message>
    <message>
        <source>r+k Printer file name:</source>
        <translation>Dateiname im r+k Drucker:</translation>
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
    <name>CRuKTerminalView</name>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Suchen...</translation>
    </message>
    <message>
        <source>Finds a text in the display</source>
        <translation>Sucht einen Text in der Terminalanzeige</translation>
    </message>
</context>
<context>
    <name>CSendOptionsDlg</name>
    <message>
        <source>Send options</source>
        <translation>Sendeoptionen</translation>
    </message>
    <message>
        <source>&amp;Framing:</source>
        <translation>&amp;Rahmung:</translation>
    </message>
    <message>
        <source>&amp;Line end (Enter, hotkey &quot;+CRLF&quot;):</source>
        <translation>&amp;Zeilenende (Enter, Schnelltaste „+CRLF“):</translation>
    </message>
    <message>
        <source>&amp;Checksum after hex sends:</source>
        <translation>&amp;Prüfsumme nach Hex-Sendungen:</translation>
    </message>
    <message>
        <source>Typed text and text hotkeys get the checksum &amp;too</source>
        <translation>&amp;Auch getippter Text und Text-Schnelltasten erhalten die Prüfsumme</translation>
    </message>
    <message>
        <source>Pause &amp;between two bytes:</source>
        <translation>Pause &amp;zwischen zwei Bytes:</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>Pause &amp;after each send:</source>
        <translation>Pause &amp;nach jeder Sendung:</translation>
    </message>
    <message>
        <source>&amp;Defaults</source>
        <translation>&amp;Standardwerte</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
    <message>
        <source>The r+k devices want STX (0x02) before and ETX (0x03) after every send. Choose &quot;none&quot; for a modem, a Modbus RTU device or anything else that takes the bytes as they are; then a Hex-Data hotkey sends its bytes in text mode too, and its receive text is read as hex bytes.</source>
        <translation>Die r+k-Geräte erwarten STX (0x02) vor und ETX (0x03) nach jeder Sendung. Wählen Sie „keine“ für ein Modem, ein Modbus-RTU-Gerät oder alles andere, das die Bytes nimmt, wie sie sind; dann sendet eine Hex-Data-Schnelltaste ihre Bytes auch im Textmodus, und ihr Empfangstext wird als Hex-Bytes gelesen.</translation>
    </message>
    <message>
        <source>Covers every byte of the send but a leading STX, ETX included, and follows it; the line end comes after the checksum.</source>
        <translation>Umfasst jedes Byte der Sendung außer einem führenden STX, ETX eingeschlossen, und folgt ihr; das Zeilenende kommt nach der Prüfsumme.</translation>
    </message>
    <message>
        <source>After each line of a pasted text, each hotkey and each hex input sent.</source>
        <translation>Nach jeder Zeile eines eingefügten Textes, jeder Schnelltaste und jeder gesendeten Hex-Eingabe.</translation>
    </message>
</context>
<context>
    <name>CSendOptionsForm</name>
    <message>
        <source>STX … ETX around every text, hex input and hotkey</source>
        <translation>STX … ETX um jeden Text, jede Hex-Eingabe und Schnelltaste</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
</context>
<context>
    <name>CStatusPanes</name>
    <message>
        <source>%1 MB/s</source>
        <translation>%1 MB/s</translation>
    </message>
    <message>
        <source>%1 kB/s</source>
        <translation>%1 kB/s</translation>
    </message>
    <message>
        <source>Rx %1  Tx %2  %3</source>
        <translation>Rx %1  Tx %2  %3</translation>
    </message>
    <message>
        <source>Since the program started: %1 bytes received, %2 bytes sent</source>
        <translation>Seit dem Programmstart: %1 Bytes empfangen, %2 Bytes gesendet</translation>
    </message>
    <message>
        <source>%1 B/s</source>
        <translation>%1 B/s</translation>
    </message>
</context>
<context>
    <name>CTerminal</name>
    <message>
        <source>The file [%1] cannot be read.</source>
        <translation>Die Datei [%1] kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The file [%1] is too large for the r+k printer (4 GB at most).</source>
        <translation>Die Datei [%1] ist zu groß für den r+k-Drucker (höchstens 4 GB).</translation>
    </message>
    <message>
        <source>The file [%1] could not be read to its end; the send was stopped.</source>
        <translation>Die Datei [%1] konnte nicht bis zum Ende gelesen werden; das Senden wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The file [%1] changed while it was being sent; the printer will find a bad checksum.</source>
        <translation>Die Datei [%1] hat sich während des Sendens geändert; der Drucker wird eine fehlerhafte Prüfsumme feststellen.</translation>
    </message>
    <message>
        <source>The reception of [%1] was cancelled.</source>
        <translation>Der Empfang von [%1] wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The bytes received so far are kept in [%1]; [%2] was not changed.</source>
        <translation>Die bisher empfangenen Bytes stehen in [%1]; [%2] blieb unverändert.</translation>
    </message>
    <message>
        <source>The file [%1] cannot be written (%2); the reception has ended.</source>
        <translation>Die Datei [%1] kann nicht geschrieben werden (%2); der Empfang wurde beendet.</translation>
    </message>
    <message>
        <source>F%1 was not sent: with framing &quot;none&quot; its Hex-Data must be whole pairs of hex digits (Settings &gt; Hotkeys...).</source>
        <translation>F%1 wurde nicht gesendet: mit Rahmung „keine“ müssen ihre Hex-Daten ganze Paare von Hex-Ziffern sein (Einstellungen &gt; Schnelltasten...).</translation>
    </message>
    <message>
        <source>Left out of sending and auto-reply: %1. With framing &quot;none&quot; their Hex-Data must be whole pairs of hex digits.</source>
        <translation>Vom Senden und von der automatischen Antwort ausgenommen: %1. Mit Rahmung „keine“ müssen ihre Hex-Daten ganze Paare von Hex-Ziffern sein.</translation>
    </message>
    <message>
        <source>%1 can be switched while a serial link runs.</source>
        <translation>%1 lässt sich schalten, während eine serielle Verbindung läuft.</translation>
    </message>
    <message>
        <source>%1 follows the handshake chosen in the port settings and cannot be switched by hand.</source>
        <translation>%1 folgt dem in den Schnittstellen-Einstellungen gewählten Handshake und lässt sich nicht von Hand schalten.</translation>
    </message>
    <message>
        <source>The device has no modem lines.</source>
        <translation>Das Gerät hat keine Modemleitungen.</translation>
    </message>
    <message>
        <source>The device refused to switch %1.</source>
        <translation>Das Gerät hat das Schalten von %1 abgelehnt.</translation>
    </message>
    <message>
        <source>A break can be sent while a serial link runs.</source>
        <translation>Ein Break lässt sich senden, während eine serielle Verbindung läuft.</translation>
    </message>
    <message>
        <source>Break sent.</source>
        <translation>Break gesendet.</translation>
    </message>
    <message>
        <source>The device cannot send a break.</source>
        <translation>Das Gerät kann keinen Break senden.</translation>
    </message>
    <message>
        <source>The break could not be sent.</source>
        <translation>Der Break konnte nicht gesendet werden.</translation>
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
    <name>Checksum</name>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>CRC-16/MODBUS (low byte first)</source>
        <translation>CRC-16/MODBUS (niederwertiges Byte zuerst)</translation>
    </message>
    <message>
        <source>CRC-16/CCITT-FALSE (high byte first)</source>
        <translation>CRC-16/CCITT-FALSE (höherwertiges Byte zuerst)</translation>
    </message>
    <message>
        <source>XOR of the bytes (BCC)</source>
        <translation>XOR der Bytes (BCC)</translation>
    </message>
    <message>
        <source>8-bit sum</source>
        <translation>8-Bit-Summe</translation>
    </message>
    <message>
        <source>LRC (two&apos;s complement of the sum)</source>
        <translation>LRC (Zweierkomplement der Summe)</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Use FILE as the settings file.</source>
        <translation>FILE als Einstellungsdatei verwenden.</translation>
    </message>
    <message>
        <source>Start the terminal at once (as Terminal &gt; Start).</source>
        <translation>Das Terminal sofort starten (wie Terminal &gt; Start).</translation>
    </message>
    <message>
        <source>Start minimized and start the terminal.</source>
        <translation>Minimiert starten und das Terminal starten.</translation>
    </message>
    <message>
        <source>A serial link on DEVICE (a path such as /dev/ttyUSB0, or COMn).</source>
        <translation>Eine serielle Verbindung über DEVICE (ein Pfad wie /dev/ttyUSB0 oder COMn).</translation>
    </message>
    <message>
        <source>Baud rate.</source>
        <translation>Baudrate.</translation>
    </message>
    <message>
        <source>Data bits 5-8, parity N, E or O, stop bits 1 or 2.</source>
        <translation>Datenbits 5-8, Parität N, E oder O, Stoppbits 1 oder 2.</translation>
    </message>
    <message>
        <source>none, xonxoff, hardware (RTS/CTS and DTR/DSR), rtscts or dtrdsr.</source>
        <translation>none, xonxoff, hardware (RTS/CTS und DTR/DSR), rtscts oder dtrdsr.</translation>
    </message>
    <message>
        <source>A TCP client link to HOST:PORT.</source>
        <translation>Eine TCP-Client-Verbindung zu HOST:PORT.</translation>
    </message>
    <message>
        <source>A TCP server on PORT.</source>
        <translation>Ein TCP-Server auf PORT.</translation>
    </message>
    <message>
        <source>A UDP link with HOST:PORT.</source>
        <translation>Eine UDP-Verbindung mit HOST:PORT.</translation>
    </message>
    <message>
        <source>A UDP server on PORT.</source>
        <translation>Ein UDP-Server auf PORT.</translation>
    </message>
    <message>
        <source>A USB printer, by its name in the port settings or its usb: path.</source>
        <translation>Ein USB-Drucker, mit seinem Namen aus den Schnittstelleneinstellungen oder seinem usb:-Pfad.</translation>
    </message>
    <message>
        <source>Log to FILE (- for standard output).</source>
        <translation>Logfile FILE schreiben (- für die Standardausgabe).</translation>
    </message>
    <message>
        <source>A timestamp in each line.</source>
        <translation>Ein Zeitstempel in jeder Zeile.</translation>
    </message>
    <message>
        <source>Hex mode.</source>
        <translation>Hex-Modus.</translation>
    </message>
    <message>
        <source>No window (see below).</source>
        <translation>Ohne Fenster (siehe unten).</translation>
    </message>
    <message>
        <source>Print this help and exit.</source>
        <translation>Diese Hilfe ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Die Version ausgeben und beenden.</translation>
    </message>
    <message>
        <source>unknown option %1 (see --help)</source>
        <translation>unbekannte Option %1 (siehe --help)</translation>
    </message>
    <message>
        <source>%1 needs a value: %1 %2</source>
        <translation>%1 braucht einen Wert: %1 %2</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>a saved display (%1) cannot be shown without a window</source>
        <translation>eine gespeicherte Anzeige (%1) kann ohne Fenster nicht gezeigt werden</translation>
    </message>
    <message>
        <source>%1 is for a serial link; it cannot go with %2</source>
        <translation>%1 gilt für eine serielle Verbindung; es passt nicht zu %2</translation>
    </message>
    <message>
        <source>only one saved display can be shown: %1 or %2</source>
        <translation>nur eine gespeicherte Anzeige kann gezeigt werden: %1 oder %2</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 ist zweimal angegeben</translation>
    </message>
    <message>
        <source>one link at a time: %1 and %2 cannot go together</source>
        <translation>nur eine Verbindung auf einmal: %1 und %2 passen nicht zusammen</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a baud rate (a whole number above 0)</source>
        <translation>%1: „%2“ ist keine Baudrate (eine ganze Zahl über 0)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a handshake; use none, xonxoff, hardware, rtscts or dtrdsr</source>
        <translation>%1: „%2“ ist kein Handshake; möglich sind none, xonxoff, hardware, rtscts oder dtrdsr</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a port number (1 to 65535)</source>
        <translation>%1: „%2“ ist keine Portnummer (1 bis 65535)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a serial port (COM numbers begin at 1)</source>
        <translation>%1: „%2“ ist keine serielle Schnittstelle (COM-Nummern beginnen bei 1)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a serial format such as 8N1 (data bits 5 to 8, parity N, E or O, stop bits 1 or 2)</source>
        <translation>%1: „%2“ ist kein serielles Format wie 8N1 (Datenbits 5 bis 8, Parität N, E oder O, Stoppbits 1 oder 2)</translation>
    </message>
    <message>
        <source>%1: mark and space parity (M, S) are not supported; use N, E or O</source>
        <translation>%1: Mark- und Space-Parität (M, S) werden nicht unterstützt; möglich sind N, E oder O</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not HOST:PORT (a port number from 1 to 65535)</source>
        <translation>%1: „%2“ ist nicht HOST:PORT (eine Portnummer von 1 bis 65535)</translation>
    </message>
    <message>
        <source>--usb: no USB printer named &quot;%1&quot; is present</source>
        <translation>--usb: kein USB-Drucker namens „%1“ ist angeschlossen</translation>
    </message>
    <message>
        <source>Usage: %1 [options] [file.ter]</source>
        <translation>Aufruf: %1 [Optionen] [Datei.ter]</translation>
    </message>
    <message>
        <source>Terminal for building-automation equipment: a serial port, a TCP or UDP link or a USB printer.</source>
        <translation>Terminal für Geräte der Gebäudeautomation: eine serielle Schnittstelle, eine TCP- oder UDP-Verbindung oder ein USB-Drucker.</translation>
    </message>
    <message>
        <source>A link option starts the terminal at once. The options hold for this run only: the settings file stays as it is.</source>
        <translation>Eine Verbindungsoption startet das Terminal sofort. Die Optionen gelten nur für diesen Lauf: die Einstellungsdatei bleibt, wie sie ist.</translation>
    </message>
    <message>
        <source>Without a window (--headless) what arrives goes to the log, standard output unless a log file is set, and every change of the link to standard error; Ctrl+C ends it.</source>
        <translation>Ohne Fenster (--headless) geht, was ankommt, ins Logfile, in die Standardausgabe, wenn kein Logfile eingestellt ist, und jede Änderung der Verbindung in die Standardfehlerausgabe; Strg+C beendet es.</translation>
    </message>
</context>
<context>
    <name>GroupAddressFormat</name>
    <message>
        <source>1: 1 - 6 bit decimal</source>
        <translation>1: 1 bis 6 Bit Dezimal</translation>
    </message>
    <message>
        <source>2: 1 byte ASCII</source>
        <translation>2: 1 Byte ASCII</translation>
    </message>
    <message>
        <source>3: Percent 0 - 100 %</source>
        <translation>3: Prozentwert 0 - 100 %</translation>
    </message>
    <message>
        <source>4: Angle 0 - 360 degrees</source>
        <translation>4: Winkel 0 - 360 Grad</translation>
    </message>
    <message>
        <source>5: 1 byte unsigned</source>
        <translation>5: 1 Byte ohne Vorzeichen</translation>
    </message>
    <message>
        <source>6: 1 byte signed</source>
        <translation>6: 1 Byte mit Vorzeichen</translation>
    </message>
    <message>
        <source>7: 2 byte unsigned</source>
        <translation>7: 2 Byte ohne Vorzeichen</translation>
    </message>
    <message>
        <source>8: 2 byte signed</source>
        <translation>8: 2 Byte mit Vorzeichen</translation>
    </message>
    <message>
        <source>9: EIB float value</source>
        <translation>9: EIB Fließpunktzahl</translation>
    </message>
    <message>
        <source>10: EIB time</source>
        <translation>10: EIB Zeit</translation>
    </message>
    <message>
        <source>11: EIB date</source>
        <translation>11: EIB Datum</translation>
    </message>
    <message>
        <source>12: 4 byte unsigned</source>
        <translation>12: 4 Byte ohne Vorzeichen</translation>
    </message>
    <message>
        <source>13: 4 byte signed</source>
        <translation>13: 4 Byte mit Vorzeichen</translation>
    </message>
    <message>
        <source>14: IEEE float</source>
        <translation>14: IEEE Fließpunktzahl</translation>
    </message>
    <message>
        <source>15: Entrance access</source>
        <translation>15: Zugangskontrolle</translation>
    </message>
    <message>
        <source>16: Textstring</source>
        <translation>16: Zeichenkette</translation>
    </message>
    <message>
        <source>17: Textstring NUL terminated</source>
        <translation>17: Zeichenkette mit NUL terminiert</translation>
    </message>
    <message>
        <source>18: 1 - 14 byte decimal, commaseparated</source>
        <translation>18: 1 bis 14 Byte dezimal, kommasepariert</translation>
    </message>
    <message>
        <source>19: 1 - 14 byte hexadecimal, commaseparated</source>
        <translation>19: 1 bis 14 Byte hexadezimal, kommasepariert</translation>
    </message>
    <message>
        <source>20: 1 - 14 byte hexadecimal 2 hex digits per byte</source>
        <translation>20: Tupel von bis zu 14 Hexadezimalzahlen</translation>
    </message>
    <message>
        <source>21: 1 - 6 bit hexadecimal</source>
        <translation>21: 1 bis 6 Bit hexadezimal</translation>
    </message>
</context>
<context>
    <name>Headless</name>
    <message>
        <source>Connecting to %1:%2...</source>
        <translation>Verbindung mit %1:%2...</translation>
    </message>
    <message>
        <source>Waiting for a connection on port %1...</source>
        <translation>Warte auf eine Verbindung auf Port %1...</translation>
    </message>
    <message>
        <source>Waiting for UDP data on port %1...</source>
        <translation>Warte auf UDP-Daten auf Port %1...</translation>
    </message>
    <message>
        <source>The log file %1 cannot be written: %2.</source>
        <translation>Das Logfile %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>A hotkey that answers received text has nothing to send; set it up in the window (Settings &gt; Hotkeys).</source>
        <translation>Ein Hotkey, der auf empfangenen Text antwortet, hat nichts zu senden; richten Sie ihn im Fenster ein (Einstellungen &gt; Hotkeys).</translation>
    </message>
    <message>
        <source>%1 received: the run ends.</source>
        <translation>%1 empfangen: der Lauf endet.</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>Standardausgabe</translation>
    </message>
    <message>
        <source>Standard output is closed: the run ends.</source>
        <translation>Die Standardausgabe ist geschlossen: der Lauf endet.</translation>
    </message>
    <message>
        <source>The log (%1) cannot be written: %2.</source>
        <translation>Das Log (%1) kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>The log (%1) is written again; %2 bytes could not be logged.</source>
        <translation>Das Log (%1) wird wieder geschrieben; %2 Bytes konnten nicht protokolliert werden.</translation>
    </message>
    <message>
        <source>%1: the link is closed and the run ends.</source>
        <translation>%1: die Verbindung ist geschlossen, der Lauf endet.</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>beendet</translation>
    </message>
</context>
<context>
    <name>LinkReport</name>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>connected</source>
        <translation>verbunden</translation>
    </message>
    <message>
        <source>lost</source>
        <translation>unterbrochen</translation>
    </message>
    <message>
        <source>reconnecting</source>
        <translation>verbindet neu</translation>
    </message>
    <message>
        <source>waiting for DSR</source>
        <translation>wartet auf DSR</translation>
    </message>
    <message>
        <source>waiting for CTS</source>
        <translation>wartet auf CTS</translation>
    </message>
    <message>
        <source>The handshake holds sending until the device raises DSR; what arrives is shown all the same. For a device, adapter or cable without DSR choose the protocol None, XOn/XOff or Hardware (RTS/CTS) in the port settings.</source>
        <translation>Das Protokoll hält das Senden zurück, bis das Gerät DSR setzt; Empfangenes wird trotzdem angezeigt. Für ein Gerät, einen Adapter oder ein Kabel ohne DSR in den Schnittstelleneinstellungen das Protokoll Ohne, XOn/XOff oder Hardware (RTS/CTS) wählen.</translation>
    </message>
    <message>
        <source>The handshake holds sending until the device raises CTS; what arrives is shown all the same. For a device, adapter or cable without CTS choose the protocol None, XOn/XOff or Hardware (DTR/DTS) in the port settings.</source>
        <translation>Das Protokoll hält das Senden zurück, bis das Gerät CTS setzt; Empfangenes wird trotzdem angezeigt. Für ein Gerät, einen Adapter oder ein Kabel ohne CTS in den Schnittstelleneinstellungen das Protokoll Ohne, XOn/XOff oder Hardware (DTR/DTS) wählen.</translation>
    </message>
    <message>
        <source>%1 is gone; it is opened again once it is back.</source>
        <translation>%1 ist weg; sie wird wieder geöffnet, sobald sie zurück ist.</translation>
    </message>
    <message>
        <source>Connection lost (%1); reconnecting every few seconds.</source>
        <translation>Verbindung unterbrochen (%1); neuer Versuch alle paar Sekunden.</translation>
    </message>
    <message>
        <source>%1 is back and open again.</source>
        <translation>%1 ist zurück und wieder geöffnet.</translation>
    </message>
    <message>
        <source>Connected again (%1).</source>
        <translation>Wieder verbunden (%1).</translation>
    </message>
    <message>
        <source>%1 closed the connection; waiting for the next one.</source>
        <translation>%1 hat die Verbindung beendet; warte auf die nächste.</translation>
    </message>
    <message>
        <source>%1 connected.</source>
        <translation>%1 ist verbunden.</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 Byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>Not sent: %1; the port did not take them in time.</source>
        <translation>Nicht gesendet: %1; die Schnittstelle hat sie nicht rechtzeitig angenommen.</translation>
    </message>
    <message>
        <source>Not sent: %1; the terminal is stopped.</source>
        <translation>Nicht gesendet: %1; das Terminal ist gestoppt.</translation>
    </message>
    <message>
        <source>Not sent: %1; the link is down.</source>
        <translation>Nicht gesendet: %1; die Verbindung ist unterbrochen.</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>Permission denied: your user is in the group %1, but this session is not yet: log out and in again.</source>
        <translation>Zugriff verweigert: Ihr Benutzer ist in der Gruppe %1, diese Sitzung aber noch nicht: bitte ab- und wieder anmelden.</translation>
    </message>
    <message>
        <source>Permission denied: your user needs the group %1 (sudo usermod -aG %1 %2, then log in again).</source>
        <translation>Zugriff verweigert: Ihr Benutzer braucht die Gruppe %1 (sudo usermod -aG %1 %2, dann neu anmelden).</translation>
    </message>
    <message>
        <source>%1, process %2</source>
        <translation>%1, Prozess %2</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Device or resource busy: another program uses it (%1).</source>
        <translation>Gerät belegt: ein anderes Programm verwendet es (%1).</translation>
    </message>
    <message>
        <source>No USB device is chosen: pick one in the port settings.</source>
        <translation>Kein USB-Gerät gewählt: bitte in den Schnittstellen-Einstellungen eines wählen.</translation>
    </message>
    <message>
        <source>No such device.</source>
        <translation>Gerät nicht vorhanden.</translation>
    </message>
    <message>
        <source>No such device: %1 is not plugged in.</source>
        <translation>Gerät nicht vorhanden: %1 ist nicht angeschlossen.</translation>
    </message>
    <message>
        <source>%1 is not a serial device.</source>
        <translation>%1 ist keine serielle Schnittstelle.</translation>
    </message>
    <message>
        <source>Invalid argument: the device does not take these line settings.</source>
        <translation>Ungültige Einstellung: das Gerät nimmt diese Leitungsparameter nicht an.</translation>
    </message>
    <message>
        <source>Connection refused: nothing accepts connections at %1.</source>
        <translation>Verbindung abgelehnt: unter %1 nimmt niemand Verbindungen an.</translation>
    </message>
    <message>
        <source>Connection timed out: %1 does not answer.</source>
        <translation>Zeitüberschreitung: %1 antwortet nicht.</translation>
    </message>
    <message>
        <source>Host not found: %1.</source>
        <translation>Rechner nicht gefunden: %1.</translation>
    </message>
    <message>
        <source>The name server does not answer: try again, or give the IP address.</source>
        <translation>Der Namensserver antwortet nicht: bitte erneut versuchen oder die IP-Adresse angeben.</translation>
    </message>
    <message>
        <source>No route to %1: check the cable and the network settings.</source>
        <translation>Keine Route zu %1: bitte Kabel und Netzwerkeinstellungen prüfen.</translation>
    </message>
    <message>
        <source>Address already in use: another program uses this port.</source>
        <translation>Adresse belegt: ein anderes Programm verwendet diesen Port.</translation>
    </message>
    <message>
        <source>Invalid argument: check the address and the port number (1 to 65535).</source>
        <translation>Ungültige Angabe: bitte Adresse und Portnummer (1 bis 65535) prüfen.</translation>
    </message>
    <message>
        <source>Socket error %1.</source>
        <translation>Socket-Fehler %1.</translation>
    </message>
    <message>
        <source>The terminal is running already.</source>
        <translation>Das Terminal läuft bereits.</translation>
    </message>
    <message>
        <source>Device or resource busy: another program uses it.</source>
        <translation>Gerät belegt: ein anderes Programm verwendet es.</translation>
    </message>
    <message>
        <source>Device or resource busy: another program uses it, perhaps %1, which takes new adapters for a while.</source>
        <translation>Gerät belegt: ein anderes Programm verwendet es, vielleicht %1, der neue Adapter eine Zeit lang belegt.</translation>
    </message>
</context>
<context>
    <name>SendFraming</name>
    <message>
        <source>nothing</source>
        <translation>nichts</translation>
    </message>
</context>
<context>
    <name>SendReport</name>
    <message>
        <source>no STX/ETX</source>
        <translation>ohne STX/ETX</translation>
    </message>
    <message>
        <source>framed by STX and ETX</source>
        <translation>gerahmt von STX und ETX</translation>
    </message>
    <message>
        <source>without STX and ETX</source>
        <translation>ohne STX und ETX</translation>
    </message>
    <message>
        <source>line end %1</source>
        <translation>Zeilenende %1</translation>
    </message>
    <message>
        <source>checksum %1</source>
        <translation>Prüfsumme %1</translation>
    </message>
    <message>
        <source>%1 ms between two bytes</source>
        <translation>%1 ms zwischen zwei Bytes</translation>
    </message>
    <message>
        <source>%1 ms after each send</source>
        <translation>%1 ms nach jeder Sendung</translation>
    </message>
    <message>
        <source>Sending: %1 (Settings &gt; Send options...).</source>
        <translation>Senden: %1 (Einstellungen &gt; Sendeoptionen...).</translation>
    </message>
    <message>
        <source>AT and Enter send: %1
The hex input %2 sends: %3</source>
        <translation>AT und Enter senden: %1
Die Hex-Eingabe %2 sendet: %3</translation>
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
        <source>GA</source>
        <translation>GA</translation>
    </message>
    <message>
        <source>Receive</source>
        <translation>Empfang</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
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
        <source>Save GATEX addresses</source>
        <translation>GATEX Adressen speichern</translation>
    </message>
    <message>
        <source>Load GATEX addresses</source>
        <translation>GATEX Adressen laden</translation>
    </message>
    <message>
        <source>Import GATEX addresses from BusScout/VisPlanner *.GA files</source>
        <translation>GATEX Adressen aus BusScout/VisPlanner *.GA Dateien importieren</translation>
    </message>
    <message>
        <source>Remove all address definitions?</source>
        <translation>Sollen wirklich alle Adressdefinitionen entfernt werden?</translation>
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
    <message>
        <source>Framing, line end, checksum and pacing of what is sent
Send options</source>
        <translation>Rahmung, Zeilenende, Prüfsumme und Pausen beim Senden
Sendeoptionen</translation>
    </message>
</context>
<context>
    <name>UsbPrinters</name>
    <message>
        <source>(interface %1)</source>
        <translation>(Schnittstelle %1)</translation>
    </message>
</context>
</TS>
