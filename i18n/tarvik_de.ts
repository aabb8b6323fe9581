<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AdvancedSettings</name>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
</context>
<context>
    <name>BackupContents</name>
    <message>
        <source>%1 row %2</source>
        <translation>%1 Zeile %2</translation>
    </message>
    <message>
        <source>%1: Tarvik holds %2, the backup keeps %3</source>
        <translation>%1: Tarvik enthält %2, die Sicherung behält %3</translation>
    </message>
</context>
<context>
    <name>ChartModule</name>
    <message>
        <source>the set chart cannot be drawn: the program&apos;s module could not be loaded (%1)</source>
        <translation>die Setliste kann nicht gezeichnet werden: das Modul des Programms ließ sich nicht laden (%1)</translation>
    </message>
    <message>
        <source>not loaded</source>
        <translation>nicht geladen</translation>
    </message>
    <message>
        <source>the set chart could not be drawn</source>
        <translation>die Setliste ließ sich nicht zeichnen</translation>
    </message>
    <message>
        <source>the setup sheet cannot be drawn: the program&apos;s module could not be loaded (%1)</source>
        <translation>das Setupblatt kann nicht gezeichnet werden: das Modul des Programms ließ sich nicht laden (%1)</translation>
    </message>
    <message>
        <source>the setup sheet could not be drawn</source>
        <translation>das Setupblatt ließ sich nicht zeichnen</translation>
    </message>
    <message>
        <source>the set chart needs the package %1: install it, e.g. sudo apt install %1</source>
        <translation>die Setliste braucht das Paket %1: Installieren Sie es, z. B. mit sudo apt install %1</translation>
    </message>
    <message>
        <source>the PDF needs the package %1: install it, e.g. sudo apt install %1</source>
        <translation>das PDF braucht das Paket %1: Installieren Sie es, z. B. mit sudo apt install %1</translation>
    </message>
</context>
<context>
    <name>CliOptions</name>
    <message>
        <source>Usage: %1 [options] command [file]
</source>
        <translation>Aufruf: %1 [Optionen] Befehl [Datei]
</translation>
    </message>
    <message>
        <source>diff needs two sides: diff A B</source>
        <translation>diff braucht zwei Seiten: diff A B</translation>
    </message>
    <message>
        <source>library needs one of: %1</source>
        <translation>library braucht einen von: %1</translation>
    </message>
    <message>
        <source>unknown library command &quot;%1&quot;</source>
        <translation>unbekannter library-Befehl &quot;%1&quot;</translation>
    </message>
    <message>
        <source>library %1 needs a file</source>
        <translation>library %1 braucht eine Datei</translation>
    </message>
    <message>
        <source>library %1 needs a setup&apos;s name and a file</source>
        <translation>library %1 braucht den Namen eines Setups und eine Datei</translation>
    </message>
    <message>
        <source>library %1 needs a setup&apos;s name</source>
        <translation>library %1 braucht den Namen eines Setups</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>unerwartetes Argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--replace belongs to library import and library store</source>
        <translation>--replace gehört zu library import und library store</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and exit.</source>
        <translation>Die Version des Programms anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Use the first MIDI input whose name contains &lt;text&gt;.</source>
        <translation>Den ersten MIDI-Eingang verwenden, dessen Name &lt;text&gt; enthält.</translation>
    </message>
    <message>
        <source>Use the first MIDI output whose name contains &lt;text&gt;.</source>
        <translation>Den ersten MIDI-Ausgang verwenden, dessen Name &lt;text&gt; enthält.</translation>
    </message>
    <message>
        <source>Print the transfer&apos;s log lines, and what the MIDI system&apos;s libraries (ALSA, JACK) say, on standard error.</source>
        <translation>Die Protokollzeilen der Übertragung und die Meldungen der Bibliotheken des MIDI-Systems (ALSA, JACK) auf der Standardfehlerausgabe ausgeben.</translation>
    </message>
    <message>
        <source>flash: download firmware.txt from the update server instead of a file.</source>
        <translation>flash: firmware.txt vom Update-Server herunterladen statt aus einer Datei.</translation>
    </message>
    <message>
        <source>flash --from-server: the update server directory, whose path ends in &quot;/downloads/tarvik/&quot; (default: the environment variable TARVIK_UPDATE_BASE_URL, else %1).</source>
        <translation>flash --from-server: das Verzeichnis des Update-Servers, dessen Pfad auf &quot;/downloads/tarvik/&quot; endet (Vorgabe: die Umgebungsvariable TARVIK_UPDATE_BASE_URL, sonst %1).</translation>
    </message>
    <message>
        <source>The library file (default: the environment variable TARVIK_LIBRARY, else library.sqlite in the program&apos;s data folder).</source>
        <translation>Die Bibliotheksdatei (Vorgabe: die Umgebungsvariable TARVIK_LIBRARY, sonst library.sqlite im Datenordner des Programms).</translation>
    </message>
    <message>
        <source>The backup file (backup, restore; &quot;-&quot; for standard output or input) or firmware.txt (flash).</source>
        <translation>Die Sicherungsdatei (backup, restore; &quot;-&quot; für Standardausgabe oder -eingabe) oder firmware.txt (flash).</translation>
    </message>
    <message>
        <source>no command given (see --help)</source>
        <translation>kein Befehl angegeben (siehe --help)</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;</source>
        <translation>unbekannter Befehl &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--in and --out need a part of a port name</source>
        <translation>--in und --out brauchen einen Teil eines Portnamens</translation>
    </message>
    <message>
        <source>--library needs a file</source>
        <translation>--library braucht eine Datei</translation>
    </message>
    <message>
        <source>--from-server and --update-url belong to flash</source>
        <translation>--from-server und --update-url gehören zu flash</translation>
    </message>
    <message>
        <source>%1 needs a file</source>
        <translation>%1 braucht eine Datei</translation>
    </message>
    <message>
        <source>flash takes a file or --from-server, not both</source>
        <translation>flash nimmt eine Datei oder --from-server, nicht beides</translation>
    </message>
    <message>
        <source>--update-url needs --from-server</source>
        <translation>--update-url braucht --from-server</translation>
    </message>
    <message>
        <source>command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>[file]</source>
        <translation>[Datei]</translation>
    </message>
    <message>
        <source>flash: flash without keeping the setup in the device history first (a Tarvik already in its bootloader cannot be read).</source>
        <translation>flash: aufspielen, ohne das Setup zuerst im Geräteverlauf zu sichern (ein Tarvik, der schon in seinem Bootloader ist, lässt sich nicht lesen).</translation>
    </message>
    <message>
        <source>--no-backup belongs to flash</source>
        <translation>--no-backup gehört zu flash</translation>
    </message>
    <message>
        <source>setlist needs one of: %1</source>
        <translation>setlist braucht eines von: %1</translation>
    </message>
    <message>
        <source>unknown setlist command &quot;%1&quot;</source>
        <translation>unbekannter setlist-Befehl &quot;%1&quot;</translation>
    </message>
    <message>
        <source>setlist %1 needs a set list&apos;s name and a file</source>
        <translation>setlist %1 braucht den Namen einer Setliste und eine Datei</translation>
    </message>
    <message>
        <source>setlist %1 needs a set list&apos;s name</source>
        <translation>setlist %1 braucht den Namen einer Setliste</translation>
    </message>
    <message>
        <source>--replace belongs to library import, library store and setlist store</source>
        <translation>--replace gehört zu library import, library store und setlist store</translation>
    </message>
    <message>
        <source>setlist arrange, and only it, needs --onto SOURCE</source>
        <translation>setlist arrange, und nur dieser Befehl, braucht --onto QUELLE</translation>
    </message>
    <message>
        <source>library import, library store: overwrite a setup of the same name; setlist store: a set list of the same name.</source>
        <translation>library import, library store: ein gleichnamiges Setup überschreiben; setlist store: eine gleichnamige Setliste.</translation>
    </message>
    <message>
        <source>--onto needs a source</source>
        <translation>--onto braucht eine Quelle</translation>
    </message>
    <message>
        <source>sheet needs a source and a file: sheet SOURCE FILE</source>
        <translation>sheet braucht eine Quelle und eine Datei: sheet QUELLE DATEI</translation>
    </message>
    <message>
        <source>sheet writes a .pdf or a .csv file; &quot;%1&quot; is neither</source>
        <translation>sheet schreibt eine .pdf- oder eine .csv-Datei; &quot;%1&quot; ist keins von beiden</translation>
    </message>
    <message>
        <source>loops needs: swap A B --onto SOURCE FILE</source>
        <translation>loops braucht: swap A B --onto QUELLE DATEI</translation>
    </message>
    <message>
        <source>loops swap needs two loops and a file</source>
        <translation>loops swap braucht zwei Loops und eine Datei</translation>
    </message>
    <message>
        <source>a loop is a number from 1 to 8, not &quot;%1&quot;</source>
        <translation>ein Loop ist eine Zahl von 1 bis 8, nicht &quot;%1&quot;</translation>
    </message>
    <message>
        <source>loops swap needs two different loops</source>
        <translation>loops swap braucht zwei verschiedene Loops</translation>
    </message>
    <message>
        <source>loops swap needs --onto SOURCE</source>
        <translation>loops swap braucht --onto QUELLE</translation>
    </message>
    <message>
        <source>setlist arrange, loops swap: the configuration to change: &quot;device&quot;, &quot;library:NAME&quot;, &quot;snapshot:ID&quot; or a .tvk or backup file.</source>
        <translation>setlist arrange, loops swap: die zu ändernde Konfiguration: &quot;device&quot;, &quot;library:NAME&quot;, &quot;snapshot:ID&quot; oder eine .tvk- oder Sicherungsdatei.</translation>
    </message>
    <message>
        <source>--onto belongs to setlist arrange and loops swap</source>
        <translation>--onto gehört zu setlist arrange und loops swap</translation>
    </message>
    <message>
        <source>--only belongs to restore and library restore</source>
        <translation>--only gehört zu restore und library restore</translation>
    </message>
    <message>
        <source>restore, library restore: take only &lt;parts&gt; (presets[:A-B], ccmap[:A-B], settings; comma-separated) over what the Tarvik holds.</source>
        <translation>restore, library restore: nur &lt;parts&gt; (presets[:A-B], ccmap[:A-B], settings; durch Kommas getrennt) über das übernehmen, was der Tarvik hält.</translation>
    </message>
    <message>
        <source>Sets up a Tarvik MIDI loop switcher and checks what it wrote.

Commands:
  ports          List the MIDI ports, one a line: &quot;in:&quot; or &quot;out:&quot;, a tab, the name.
  info           Identify the Tarvik and print &quot;firmware: X.Y&quot;.
  backup FILE    Download the presets, CC map, PC remap table and the 20 settings and
                 write them to FILE: a .tvk file with a [settings] section. FILE &quot;-&quot;
                 is standard output, which then carries nothing but the file.
  restore FILE   Submit the tables of FILE (and its [settings], if it has them),
                 download everything again and compare with what was sent. FILE &quot;-&quot;
                 is standard input.
  restore --only PARTS FILE
                 Take only PARTS of FILE over what the Tarvik holds, submit the blocks
                 that change and verify all of them: PARTS is a comma-separated list of
                 presets, presets:A-B or presets:A (loops and program change, 1..128),
                 ccmap, ccmap:A-B or ccmap:A, and settings. A .csv file gives presets
                 only. Prints &quot;presets 10-20 from FILE&quot; for each part, then
                 &quot;restore verified&quot;.
  flash FILE     Flash a firmware.txt, verifying every page as it is read back;
                 with --from-server the file comes from the update server. First the
                 setup is kept as a snapshot &quot;before firmware X&quot; of the device
                 history; without it nothing is flashed unless --no-backup is given.
  monitor        Print incoming program and control changes, time-stamped, until
                 interrupted (Ctrl+C).
  library list   List the library&apos;s setups, one a line: the name, a tab, the last
                 change (YYYY-MM-DDTHH:MM:SS, local time); sorted by name.
  library import FILE...
                 Store each .tvk or backup file as a setup named after the file
                 without its extension. All or nothing: one refused file or a name
                 that is taken (without --replace) stores none.
  library export NAME FILE
                 Write the setup as a backup file (with [names] and [loops] when it
                 has names). FILE &quot;-&quot; is standard output.
  library store NAME
                 Download everything and store it, as backup FILE writes it, as the
                 setup NAME (--replace overwrites a setup of that name).
  library restore NAME
                 Restore the setup as restore FILE does, verified (--only PARTS too).
  library history
                 List what the device held after each download, submit and restore,
                 newest first: the id, a tab, the time, a tab, the event.
  diff A B       Print every byte in which B differs from A, one a line:
                 &quot;BLOCK ROW: 0xAA -&gt; 0xBB&quot;. A and B are each &quot;device&quot; (a fresh
                 download), &quot;library:NAME&quot;, &quot;snapshot:ID&quot; or a .tvk or backup file.
                 The settings are compared when both sides hold them.
  setlist store NAME FILE
                 Store the set list NAME from FILE (&quot;-&quot; is standard input): one song
                 a line, SONG, a tab, a library setup, a tab, its preset (1..128). All
                 or nothing: a bad line is named and nothing is stored (--replace
                 overwrites a set list of that name).
  setlist list   List the set lists, one a line: the name, a tab, the number of songs.
  setlist show NAME
                 One song a line: the position, the song, the setup and the preset.
  setlist arrange NAME --onto SOURCE FILE
                 Write SOURCE (as diff takes a side) with the songs&apos; presets at
                 presets 1, 2, 3 ... in set order as a backup file, for restore.
  setlist chart NAME FILE.pdf
                 Write the set chart of NAME, for the music stand, as a PDF file.
  setlist follow NAME
                 For each program change on the input (any channel), print the song it
                 selects: POSITION, a tab, the song, a tab, the preset (&quot;-&quot; for the
                 position and the song beyond the set), until interrupted (Ctrl+C).
  loops swap A B --onto SOURCE FILE
                 Write SOURCE (as diff takes a side) with loops A and B (1..8) trading
                 places in every preset, the CC map, the loop labels and the mute,
                 momentary and interlock settings, as a backup file, for restore: for a
                 pedal moved to another loop.
  sheet SOURCE FILE.pdf
  sheet SOURCE FILE.csv
                 Write SOURCE (as diff takes a side) as a setup sheet: a PDF of at
                 most four A4 pages (the presets, the CC map, the settings, the
                 loops&apos; labels), or the presets as CSV for a spreadsheet: a line
                 preset,name,loop1..loop8,pc each, the loops 1 or 0, pc 1..128 or
                 none.
  linktest [COUNT]
                 Send Identify COUNT times (1 to 1000, default 50), each after the
                 reply to the one before or its time-out of a second, and print two
                 lines: &quot;sent N, answered A, lost L (P %)&quot; and &quot;round trip: min X ms,
                 median Y ms, max Z ms&quot; over the answered ones (&quot;round trip: none&quot;
                 when nothing was answered). Exits 1 when any reply was lost.

Library: the file of --library, else of the environment variable TARVIK_LIBRARY, else
library.sqlite in the program&apos;s data folder. Commands that talk to the device add to
its device history; when the library cannot be opened they say so and go on.

Ports: without --in and --out the pair is chosen as the window does: the first input
whose name contains &quot;midi&quot; and the output of the same name. --in and --out pick the
first port whose name contains the text, regardless of case; the other side then
defaults to the port of the same name.

Exit codes: 0 success; 1 device or transfer failure (no Tarvik, other firmware,
refused, no reply, a difference after a restore, a failed flash); 2 usage or file
error (bad command line, unreadable or unwritable file, refused firmware file);
130 interrupted (Ctrl+C or SIGTERM; monitor then ends with 0). The library commands
exit 2 when the library cannot be opened or has no such setup. diff exits as diff(1):
0 no difference, 1 differences, 2 trouble (a file, the library, no device).</source>
        <translation>Richtet einen MIDI-Loop-Switcher Tarvik ein und prüft, was er geschrieben hat.

Befehle:
  ports          Die MIDI-Ports auflisten, einen je Zeile: &quot;in:&quot; oder &quot;out:&quot;, ein
                 Tabulator, der Name.
  info           Den Tarvik erkennen und &quot;firmware: X.Y&quot; ausgeben.
  backup DATEI   Presets, CC-Zuordnung, PC-Umleitungstabelle und die 20 Einstellungen
                 herunterladen und in DATEI schreiben: eine .tvk-Datei mit einem
                 Abschnitt [settings]. DATEI &quot;-&quot; ist die Standardausgabe, die dann
                 nichts als die Datei enthält.
  restore DATEI  Die Tabellen aus DATEI (und ihre [settings], falls vorhanden)
                 übertragen, alles erneut herunterladen und mit dem Gesendeten
                 vergleichen. DATEI &quot;-&quot; ist die Standardeingabe.
  restore --only TEILE DATEI
                 Nur TEILE aus DATEI über das übernehmen, was der Tarvik hält, die
                 Blöcke übertragen, die sich ändern, und alle prüfen: TEILE ist eine durch
                 Kommas getrennte Liste aus presets, presets:A-B oder presets:A (Loops und
                 Program Change, 1..128), ccmap, ccmap:A-B oder ccmap:A und settings. Eine
                 .csv-Datei liefert nur Presets. Gibt je Teil &quot;presets 10-20 from DATEI&quot;
                 aus, dann &quot;restore verified&quot;.
  flash DATEI    Eine firmware.txt aufspielen und jede Seite beim Zurücklesen prüfen;
                 mit --from-server kommt die Datei vom Update-Server. Zuerst wird das
                 Setup als Momentaufnahme &quot;before firmware X&quot; im Geräteverlauf
                 gesichert; ohne sie wird nichts aufgespielt, außer mit --no-backup.
  monitor        Eingehende Programmwechsel und Control Changes mit Zeitstempel
                 ausgeben, bis zum Abbruch (Strg+C).
  library list   Die Setups der Bibliothek auflisten, eines je Zeile: der Name, ein
                 Tabulator, die letzte Änderung (JJJJ-MM-TTTHH:MM:SS, Ortszeit);
                 nach Namen sortiert.
  library import DATEI...
                 Jede .tvk- oder Sicherungsdatei als Setup speichern, benannt nach
                 der Datei ohne Endung. Alles oder nichts: Eine abgelehnte Datei oder
                 ein vergebener Name (ohne --replace) speichert keines.
  library export NAME DATEI
                 Das Setup als Sicherungsdatei schreiben (mit [names] und [loops],
                 wenn es Namen hat). DATEI &quot;-&quot; ist die Standardausgabe.
  library store NAME
                 Alles herunterladen und so, wie backup DATEI es schreibt, als
                 Setup NAME speichern (--replace überschreibt ein Setup dieses Namens).
  library restore NAME
                 Das Setup wiederherstellen wie restore DATEI, mit Prüfung (auch mit
                 --only TEILE).
  library history
                 Auflisten, was das Gerät nach jedem Herunterladen, Übertragen und
                 Wiederherstellen enthielt, das Neueste zuerst: die Nummer, ein
                 Tabulator, die Zeit, ein Tabulator, das Ereignis.
  diff A B       Jedes Byte, in dem sich B von A unterscheidet, ausgeben, eines je
                 Zeile: &quot;BLOCK ROW: 0xAA -&gt; 0xBB&quot;. A und B sind jeweils &quot;device&quot;
                 (frisch heruntergeladen), &quot;library:NAME&quot;, &quot;snapshot:NUMMER&quot; oder eine
                 .tvk- oder Sicherungsdatei. Die Einstellungen werden verglichen,
                 wenn beide Seiten sie enthalten.
  setlist store NAME DATEI
                 Die Setliste NAME aus DATEI speichern (&quot;-&quot; ist die Standardeingabe):
                 ein Song je Zeile, SONG, ein Tabulator, ein Setup der Bibliothek, ein
                 Tabulator, sein Preset (1..128). Alles oder nichts: Eine falsche Zeile
                 wird genannt und nichts gespeichert (--replace überschreibt eine
                 Setliste dieses Namens).
  setlist list   Die Setlisten auflisten, eine je Zeile: der Name, ein Tabulator, die
                 Zahl der Songs.
  setlist show NAME
                 Ein Song je Zeile: die Position, der Song, das Setup und das Preset.
  setlist arrange NAME --onto QUELLE DATEI
                 QUELLE (wie diff eine Seite nimmt) mit den Presets der Songs auf den
                 Presets 1, 2, 3 ... in Set-Reihenfolge als Sicherungsdatei schreiben,
                 für restore.
  setlist chart NAME DATEI.pdf
                 Die Setliste NAME für den Notenständer als PDF-Datei schreiben.
  setlist follow NAME
                 Für jeden Programmwechsel am Eingang (auf jedem Kanal) den Song
                 ausgeben, den er wählt: die Position, ein Tabulator, der Song, ein
                 Tabulator, das Preset (&quot;-&quot; für Position und Song außerhalb des Sets),
                 bis zum Abbruch (Strg+C).
  loops swap A B --onto QUELLE DATEI
                 QUELLE (wie diff eine Seite nimmt) mit den Loops A und B (1..8)
                 vertauscht in jedem Preset, der CC-Zuordnung, den Namen der Loops und
                 den Einstellungen für Stummschaltung, Tastmodus und Verriegelung als
                 Sicherungsdatei schreiben, für restore: für ein Pedal, das an einen
                 anderen Loop umzieht.
  sheet QUELLE DATEI.pdf
  sheet QUELLE DATEI.csv
                 QUELLE (wie diff eine Seite nimmt) als Setupblatt schreiben: ein PDF
                 von höchstens vier A4-Seiten (die Presets, die CC-Zuordnung, die
                 Einstellungen, die Namen der Loops) oder die Presets als CSV für eine
                 Tabellenkalkulation: je eine Zeile preset,name,loop1..loop8,pc, die
                 Loops 1 oder 0, pc 1..128 oder none.
  linktest [ANZAHL]
                 ANZAHL-mal Identify senden (1 bis 1000, Vorgabe 50), jedes nach der
                 Antwort auf das vorige oder dessen Zeitüberschreitung von einer Sekunde,
                 und zwei Zeilen ausgeben: &quot;sent N, answered A, lost L (P %)&quot; und
                 &quot;round trip: min X ms, median Y ms, max Z ms&quot; über die beantworteten
                 (&quot;round trip: none&quot;, wenn nichts beantwortet wurde). Endet mit 1, wenn
                 eine Antwort verloren ging.

Bibliothek: die Datei von --library, sonst die der Umgebungsvariablen TARVIK_LIBRARY,
sonst library.sqlite im Datenordner des Programms. Befehle, die mit dem Gerät
sprechen, ergänzen seinen Geräteverlauf; lässt sich die Bibliothek nicht öffnen,
sagen sie das und machen weiter.

Ports: Ohne --in und --out wird das Paar so gewählt wie im Fenster: der erste Eingang,
dessen Name &quot;midi&quot; enthält, und der gleichnamige Ausgang. --in und --out wählen den
ersten Port, dessen Name den Text enthält, ohne Rücksicht auf Groß- und
Kleinschreibung; die andere Seite ist dann der gleichnamige Port.

Exit-Codes: 0 Erfolg; 1 Fehler am Gerät oder bei der Übertragung (kein Tarvik,
andere Firmware, abgelehnt, keine Antwort, ein Unterschied nach dem Wiederherstellen,
ein fehlgeschlagenes Aufspielen); 2 Aufruf- oder Dateifehler (falsche Kommandozeile,
nicht lesbare oder nicht schreibbare Datei, abgelehnte Firmware-Datei); 130
abgebrochen (Strg+C oder SIGTERM; monitor endet dann mit 0). Die library-Befehle
enden mit 2, wenn sich die Bibliothek nicht öffnen lässt oder es kein solches Setup
gibt. diff endet wie diff(1): 0 kein Unterschied, 1 Unterschiede, 2 Probleme (eine
Datei, die Bibliothek, kein Gerät).</translation>
    </message>
    <message>
        <source>linktest takes a count from %1 to %2, not &quot;%3&quot;</source>
        <translation>linktest nimmt eine Anzahl von %1 bis %2, nicht „%3“</translation>
    </message>
    <message>
        <source>ports, info, backup, restore, flash, monitor, library, diff, setlist, loops, sheet or linktest.</source>
        <translation>ports, info, backup, restore, flash, monitor, library, diff, setlist, loops, sheet oder linktest.</translation>
    </message>
    <message>
        <source>Transfers: --pace MS leaves at least MS milliseconds (0 to 20, default 0: as fast
as the port takes them) between two frames sent to the Tarvik, and --retries N (0
to 5, default 2) sends a command whose reply does not come, or a block that reads
back different, up to N more times; both go with every command that talks to the
device. For a USB-MIDI interface that loses or mangles SysEx (linktest says when),
try --pace 5 first.</source>
        <translation>Übertragungen: --pace MS lässt mindestens MS Millisekunden (0 bis 20, Vorgabe 0: so
schnell der Port sie nimmt) zwischen zwei Frames, die an den Tarvik gehen, und
--retries N (0 bis 5, Vorgabe 2) sendet einen Befehl, dessen Antwort ausbleibt, oder
einen Block, der anders zurückgelesen wird, bis zu N weitere Male; beide gelten für
jeden Befehl, der mit dem Gerät spricht. Bei einem USB-MIDI-Interface, das SysEx
verliert oder verfälscht (linktest zeigt es), zuerst --pace 5 versuchen.</translation>
    </message>
    <message>
        <source>The least time between two frames sent to the Tarvik, 0 to %1 ms (default 0).</source>
        <translation>Die kürzeste Zeit zwischen zwei Frames an den Tarvik, 0 bis %1 ms (Vorgabe 0).</translation>
    </message>
    <message>
        <source>How many more times an unanswered command or a block that reads back different is sent, 0 to %1 (default %2).</source>
        <translation>Wie oft ein unbeantworteter Befehl oder ein anders zurückgelesener Block erneut gesendet wird, 0 bis %1 (Vorgabe %2).</translation>
    </message>
    <message>
        <source>--pace takes milliseconds from 0 to %1, not &quot;%2&quot;</source>
        <translation>--pace nimmt Millisekunden von 0 bis %1, nicht &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--retries takes a count from 0 to %1, not &quot;%2&quot;</source>
        <translation>--retries nimmt eine Anzahl von 0 bis %1, nicht &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--pace and --retries belong to the commands that talk to the device</source>
        <translation>--pace und --retries gehören zu den Befehlen, die mit dem Gerät sprechen</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and exit.</source>
        <translation>Die Version des Programms anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Also print the transfer&apos;s log lines on standard error.</source>
        <translation>Die Protokollzeilen der Übertragung auch auf der Standardfehlerausgabe ausgeben.</translation>
    </message>
    <message>
        <source>Check for and download firmware from the update directory &lt;url&gt; instead of the maker&apos;s (also from the environment variable TARVIK_UPDATE_BASE_URL); its path must end in &quot;/downloads/tarvik/&quot;.</source>
        <translation>Firmware im Update-Verzeichnis &lt;url&gt; statt in dem des Herstellers suchen und von dort herunterladen (auch aus der Umgebungsvariablen TARVIK_UPDATE_BASE_URL); sein Pfad muss auf &quot;/downloads/tarvik/&quot; enden.</translation>
    </message>
    <message>
        <source>Configures the Tarvik, a MIDI loop switcher with eight loops, over MIDI System Exclusive:
presets, CC map, program change remapping, advanced settings and firmware updates.</source>
        <translation>Richtet den Tarvik, einen MIDI-Loop-Switcher mit acht Loops, über MIDI System Exclusive ein:
Presets, CC-Zuordnung, Programmwechsel-Umleitung, erweiterte Einstellungen und Firmware-Updates.</translation>
    </message>
    <message>
        <source>A configuration file (.tvk or full backup) to open once the window is shown, as &quot;Load from File&quot; does.</source>
        <translation>Eine Konfigurationsdatei (.tvk oder vollständige Sicherung), die geöffnet wird, sobald das Fenster erscheint, wie mit &quot;Aus Datei laden&quot;.</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>&apos;%1 --help&apos; liefert weitere Informationen.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>[file]</source>
        <translation>[Datei]</translation>
    </message>
    <message>
        <source>Keep the library of setups and the device history in &lt;file&gt; (default: the environment variable TARVIK_LIBRARY, else library.sqlite in the configurator&apos;s data folder).</source>
        <translation>Die Setup-Bibliothek und den Geräteverlauf in &lt;Datei&gt; führen (Vorgabe: die Umgebungsvariable TARVIK_LIBRARY, sonst library.sqlite im Datenordner des Konfigurators).</translation>
    </message>
</context>
<context>
    <name>DeviceBlocks</name>
    <message>
        <source>presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>CC map</source>
        <translation>CC-Zuordnung</translation>
    </message>
    <message>
        <source>PC remap table</source>
        <translation>PC-Umleitungstabelle</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>DeviceHistory</name>
    <message>
        <source>a snapshot needs an event</source>
        <translation>ein Schnappschuss braucht ein Ereignis</translation>
    </message>
    <message>
        <source>no snapshot %1</source>
        <translation>kein Schnappschuss %1</translation>
    </message>
    <message>
        <source>snapshot %1 is damaged</source>
        <translation>Schnappschuss %1 ist beschädigt</translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>MIDI in: %1, out: %2</source>
        <translation>MIDI ein: %1, aus: %2</translation>
    </message>
    <message>
        <source>warning: %1; the device history is not kept</source>
        <translation>Warnung: %1; der Geräteverlauf wird nicht geführt</translation>
    </message>
</context>
<context>
    <name>DifferenceTexts</name>
    <message>
        <source>no selection</source>
        <translation>keine Auswahl</translation>
    </message>
    <message>
        <source>no selection (%1)</source>
        <translation>keine Auswahl (%1)</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>CC map</source>
        <translation>CC-Zuordnung</translation>
    </message>
    <message>
        <source>PC remap</source>
        <translation>PC-Umleitung</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>no loop</source>
        <translation>kein Loop</translation>
    </message>
    <message>
        <source>%1: %2 kept by the Tarvik, sent as %3</source>
        <translation>%1: %2 vom Tarvik behalten, gesendet als %3</translation>
    </message>
    <message>
        <source>Loop names</source>
        <translation>Loop-Namen</translation>
    </message>
    <message>
        <source>no label</source>
        <translation>kein Name</translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>control changes</source>
        <translation>Control Changes</translation>
    </message>
    <message>
        <source>program change remap</source>
        <translation>Programmwechsel-Umleitung</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>edit %1</source>
        <translation>%1 bearbeiten</translation>
    </message>
    <message>
        <source>preset names</source>
        <translation>Preset-Namen</translation>
    </message>
    <message>
        <source>loop names</source>
        <translation>Loop-Namen</translation>
    </message>
</context>
<context>
    <name>EventLog</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Save log...</source>
        <translation>Protokoll speichern...</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
</context>
<context>
    <name>FirmwareImage</name>
    <message>
        <source>Firmware file rejected: %1</source>
        <translation>Firmware-Datei abgelehnt: %1</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>Download failed!</source>
        <translation>Download fehlgeschlagen!</translation>
    </message>
    <message>
        <source>it holds no flash page</source>
        <translation>sie enthält keine Flash-Seite</translation>
    </message>
    <message>
        <source>it holds %1 flash pages, at most %2 fit</source>
        <translation>sie enthält %1 Flash-Seiten, höchstens %2 passen</translation>
    </message>
    <message>
        <source>page %1 is not 256 upper-case hexadecimal digits</source>
        <translation>Seite %1 besteht nicht aus 256 Hexadezimalziffern in Großbuchstaben</translation>
    </message>
</context>
<context>
    <name>FlashProgress</name>
    <message>
        <source>flash: bootloader entered, %1 pages to upload</source>
        <translation>flash: Bootloader gestartet, %1 Seiten hochzuladen</translation>
    </message>
    <message>
        <source>flash: page %1 of %2 verified</source>
        <translation>flash: Seite %1 von %2 geprüft</translation>
    </message>
    <message>
        <source>flash [%1] %2/%3 pages</source>
        <translation>flash [%1] %2/%3 Seiten</translation>
    </message>
</context>
<context>
    <name>FullBackup</name>
    <message>
        <source>unknown key &quot;%1&quot;</source>
        <translation>unbekannter Schlüssel &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 appears twice</source>
        <translation>%1 kommt zweimal vor</translation>
    </message>
    <message>
        <source>%1=%2 is not a number from 0 to 255</source>
        <translation>%1=%2 ist keine Zahl von 0 bis 255</translation>
    </message>
    <message>
        <source>%1=%2 cannot be sent as it is (it would go out as %3)</source>
        <translation>%1=%2 kann nicht so gesendet werden (es ginge als %3 hinaus)</translation>
    </message>
    <message>
        <source>the file could not be read.</source>
        <translation>die Datei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>[settings]: %1 is missing</source>
        <translation>[settings]: %1 fehlt</translation>
    </message>
    <message>
        <source>the file ends inside a line: it is cut short</source>
        <translation>die Datei endet mitten in einer Zeile: sie ist abgeschnitten</translation>
    </message>
    <message>
        <source>[%1] holds %2 of the %3 entries written to it: the file is cut short</source>
        <translation>[%1] enthält %2 der %3 hineingeschriebenen Einträge: die Datei ist abgeschnitten</translation>
    </message>
</context>
<context>
    <name>HubMidiService</name>
    <message>
        <source>No buffer was given.</source>
        <translation>Es wurde kein Puffer übergeben.</translation>
    </message>
    <message>
        <source>The buffer cannot take input.</source>
        <translation>Der Puffer kann keine Eingabe aufnehmen.</translation>
    </message>
</context>
<context>
    <name>JackBackend</name>
    <message>
        <source>Too many MIDI ports are open.</source>
        <translation>Es sind zu viele MIDI-Ports geöffnet.</translation>
    </message>
    <message>
        <source>The MIDI port &quot;%1&quot; cannot be made.</source>
        <translation>Der MIDI-Port &quot;%1&quot; kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The MIDI port &quot;%1&quot; cannot be connected.</source>
        <translation>Der MIDI-Port &quot;%1&quot; kann nicht verbunden werden.</translation>
    </message>
    <message>
        <source>The MIDI output cannot take more data.</source>
        <translation>Der MIDI-Ausgang kann keine weiteren Daten aufnehmen.</translation>
    </message>
</context>
<context>
    <name>JackClock</name>
    <message>
        <source>JACK server not running?</source>
        <translation>JACK-Server läuft nicht?</translation>
    </message>
</context>
<context>
    <name>LibraryAccess</name>
    <message>
        <source>no library file given</source>
        <translation>keine Bibliotheksdatei angegeben</translation>
    </message>
</context>
<context>
    <name>LibraryConnection</name>
    <message>
        <source>cannot be read (%1)</source>
        <translation>kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>%1: not a file</source>
        <translation>%1: keine Datei</translation>
    </message>
    <message>
        <source>%1: its folder cannot be created</source>
        <translation>%1: ihr Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1: cannot be opened (Qt SQL has no SQLite driver; on Debian it is the package libqt6sql6-sqlite)</source>
        <translation>%1: kann nicht geöffnet werden (Qt SQL hat keinen SQLite-Treiber; unter Debian ist das das Paket libqt6sql6-sqlite)</translation>
    </message>
    <message>
        <source>damaged setup library (%1)</source>
        <translation>beschädigte Setup-Bibliothek (%1)</translation>
    </message>
    <message>
        <source>cannot be written (%1)</source>
        <translation>kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>not a setup library of this program (a database of another program)</source>
        <translation>keine Setup-Bibliothek dieses Programms (eine Datenbank eines anderen Programms)</translation>
    </message>
    <message>
        <source>a setup library of a newer version of this program (layout %1; this version knows layouts up to %2)</source>
        <translation>eine Setup-Bibliothek einer neueren Version dieses Programms (Aufbau %1; diese Version kennt Aufbauten bis %2)</translation>
    </message>
    <message>
        <source>cannot use a write-ahead log (%1)</source>
        <translation>kann kein Write-Ahead-Log verwenden (%1)</translation>
    </message>
    <message>
        <source>cannot be set up (%1)</source>
        <translation>kann nicht eingerichtet werden (%1)</translation>
    </message>
    <message>
        <source>a setup library of a newer version of this program (layout %1)</source>
        <translation>eine Setup-Bibliothek einer neueren Version dieses Programms (Aufbau %1)</translation>
    </message>
    <message>
        <source>not a setup library of this program (tables of an unknown layout)</source>
        <translation>keine Setup-Bibliothek dieses Programms (Tabellen eines unbekannten Aufbaus)</translation>
    </message>
    <message>
        <source>cannot be created (%1)</source>
        <translation>kann nicht angelegt werden (%1)</translation>
    </message>
    <message>
        <source>cannot be upgraded from layout %1 (%2)</source>
        <translation>kann nicht von Aufbau %1 aktualisiert werden (%2)</translation>
    </message>
    <message>
        <source>not a setup library of this program (not an SQLite database)</source>
        <translation>keine Setup-Bibliothek dieses Programms (keine SQLite-Datenbank)</translation>
    </message>
    <message>
        <source>damaged setup library (the file ends inside its header)</source>
        <translation>beschädigte Setup-Bibliothek (die Datei endet innerhalb ihres Kopfes)</translation>
    </message>
</context>
<context>
    <name>LibraryFault</name>
    <message>
        <source>the disk is full, or the disk quota is used up: free some space and try again (%1)</source>
        <translation>die Festplatte ist voll oder das Kontingent ausgeschöpft: Platz schaffen und erneut versuchen (%1)</translation>
    </message>
    <message>
        <source>the file or its folder can only be read, not written (%1)</source>
        <translation>die Datei oder ihr Ordner lässt sich nur lesen, nicht schreiben (%1)</translation>
    </message>
    <message>
        <source>another program (or another configurator window) is writing to the library and holds its lock (%1)</source>
        <translation>ein anderes Programm (oder ein anderes Konfigurator-Fenster) schreibt in die Bibliothek und hält ihre Sperre (%1)</translation>
    </message>
    <message>
        <source>damaged setup library (%1)</source>
        <translation>beschädigte Setup-Bibliothek (%1)</translation>
    </message>
    <message>
        <source>the disk could not be read or written; the file itself may be fine (%1)</source>
        <translation>die Festplatte ließ sich nicht lesen oder beschreiben; die Datei selbst kann in Ordnung sein (%1)</translation>
    </message>
    <message>
        <source>the file cannot be opened: its folder may be missing or not accessible (%1)</source>
        <translation>die Datei lässt sich nicht öffnen: ihr Ordner fehlt vielleicht oder ist nicht zugänglich (%1)</translation>
    </message>
    <message>
        <source>the database did not say why</source>
        <translation>die Datenbank hat keinen Grund genannt</translation>
    </message>
    <message>
        <source>another program (or another configurator window) is writing to the library; this change waited %1 s for it to finish and gave up (%2)</source>
        <translation>ein anderes Programm (oder ein anderes Konfigurator-Fenster) schreibt in die Bibliothek; diese Änderung hat %1 s darauf gewartet und aufgegeben (%2)</translation>
    </message>
</context>
<context>
    <name>LibraryListModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Last change</source>
        <translation>Letzte Änderung</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Ereignis</translation>
    </message>
    <message>
        <source>read from Tarvik</source>
        <translation>vom Tarvik gelesen</translation>
    </message>
    <message>
        <source>sent to Tarvik</source>
        <translation>an Tarvik gesendet</translation>
    </message>
    <message>
        <source>restored, verified</source>
        <translation>wiederhergestellt, geprüft</translation>
    </message>
    <message>
        <source>restored, not verified</source>
        <translation>wiederhergestellt, nicht geprüft</translation>
    </message>
</context>
<context>
    <name>LoopLabels</name>
    <message>
        <source>LOOP%1</source>
        <translation>LOOP%1</translation>
    </message>
    <message>
        <source>LOOP %1</source>
        <translation>LOOP %1</translation>
    </message>
    <message>
        <source>LOOP %1 (%2)</source>
        <translation>LOOP %1 (%2)</translation>
    </message>
    <message>
        <source>the label of loop %1 %2</source>
        <translation>der Name von Loop %1 %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a loop and a label</source>
        <translation>&quot;%1&quot; ist kein Loop mit Namen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a loop from loop1 to loop%2</source>
        <translation>&quot;%1&quot; ist kein Loop von loop1 bis loop%2</translation>
    </message>
    <message>
        <source>loop %1 is labelled twice</source>
        <translation>Loop %1 hat zwei Namen</translation>
    </message>
    <message>
        <source>the label of loop %1 is not UTF-8 text</source>
        <translation>der Name von Loop %1 ist kein UTF-8-Text</translation>
    </message>
</context>
<context>
    <name>MidiDevices</name>
    <message>
        <source>%1: Device index out of bounds! (%2)</source>
        <translation>%1: Geräteindex außerhalb des Bereichs! (%2)</translation>
    </message>
    <message>
        <source>Listenindex überschreitet das Maximum (%1)</source>
        <translation>Listenindex überschreitet das Maximum (%1)</translation>
    </message>
    <message>
        <source>Unknown error in the SysEx handler</source>
        <translation>Unbekannter Fehler in der SysEx-Verarbeitung</translation>
    </message>
    <message>
        <source>Unknown error in the MIDI input callback</source>
        <translation>Unbekannter Fehler beim Empfang von MIDI-Daten</translation>
    </message>
</context>
<context>
    <name>MidiModule</name>
    <message>
        <source>no MIDI system can be reached: the program&apos;s module %1 could not be loaded (%2)</source>
        <translation>kein MIDI-System erreichbar: Das Modul %1 des Programms konnte nicht geladen werden (%2)</translation>
    </message>
</context>
<context>
    <name>MidiMonitor</name>
    <message>
        <source>[MIDI IN] ProgrammChange - MidiChannel: %1 - ProgrammNr: %2</source>
        <translation>[MIDI IN] Programmwechsel - MIDI-Kanal: %1 - Programm-Nr.: %2</translation>
    </message>
    <message>
        <source>[MIDI IN] ControllChange - MidiChannel: %1 - ControllNr: %2 - Value: %3</source>
        <translation>[MIDI IN] Control Change - MIDI-Kanal: %1 - Controller-Nr.: %2 - Wert: %3</translation>
    </message>
</context>
<context>
    <name>MidiService</name>
    <message>
        <source>The specified device ID is out of range.</source>
        <translation>Die angegebene Geräte-ID liegt außerhalb des gültigen Bereichs.</translation>
    </message>
    <message>
        <source>The specified resource is already allocated.</source>
        <translation>Die angegebene Ressource ist bereits belegt.</translation>
    </message>
    <message>
        <source>The specified device handle is invalid.</source>
        <translation>Das angegebene Geräte-Handle ist ungültig.</translation>
    </message>
    <message>
        <source>There is no driver installed on your system.</source>
        <translation>Auf Ihrem System ist kein Treiber installiert.</translation>
    </message>
    <message>
        <source>The buffer is still in the queue.</source>
        <translation>Der Puffer ist noch in der Warteschlange.</translation>
    </message>
</context>
<context>
    <name>MidiSystemChoice</name>
    <message>
        <source>the ALSA sequencer cannot be opened: %1</source>
        <translation>der ALSA-Sequencer lässt sich nicht öffnen: %1</translation>
    </message>
    <message>
        <source>No MIDI ports are available: no MIDI system is running (%1). Start a JACK server and restart the program to use MIDI ports.</source>
        <translation>Keine MIDI-Ports verfügbar: Es läuft kein MIDI-System (%1). Starten Sie einen JACK-Server und danach das Programm neu, um MIDI-Ports zu verwenden.</translation>
    </message>
</context>
<context>
    <name>MidiTab</name>
    <message>
        <source>Input Device:</source>
        <translation>Eingabegerät:</translation>
    </message>
    <message>
        <source>Output Device:</source>
        <translation>Ausgabegerät:</translation>
    </message>
    <message>
        <source>connect to Tarvik and read configuration</source>
        <translation>Mit Tarvik verbinden und auslesen</translation>
    </message>
    <message>
        <source>Traffic...</source>
        <translation>MIDI-Datenverkehr...</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Midi</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>Input Device</source>
        <translation>Eingabegerät</translation>
    </message>
    <message>
        <source>Output Device</source>
        <translation>Ausgabegerät</translation>
    </message>
    <message>
        <source>Library...</source>
        <translation>Bibliothek...</translation>
    </message>
    <message>
        <source>Compare...</source>
        <translation>Vergleich...</translation>
    </message>
    <message>
        <source>MIDI ports cannot be listed: %1</source>
        <translation>MIDI-Ports können nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>MIDI input %1 disconnected</source>
        <translation>MIDI-Eingang %1 getrennt</translation>
    </message>
    <message>
        <source>MIDI output %1 disconnected</source>
        <translation>MIDI-Ausgang %1 getrennt</translation>
    </message>
    <message>
        <source>Test link</source>
        <translation>Verbindung testen</translation>
    </message>
    <message>
        <source>The least time between two frames sent to Tarvik. A USB-MIDI interface that loses or mangles SysEx often gets everything through at 5 ms.</source>
        <translation>Die kürzeste Zeit zwischen zwei Frames an den Tarvik. Ein USB-MIDI-Interface, das SysEx verliert oder verfälscht, bringt mit 5 ms oft alles durch.</translation>
    </message>
    <message>
        <source>How many more times a command without a reply, or a block that reads back different, is sent.</source>
        <translation>Wie oft ein Befehl ohne Antwort oder ein anders zurückgelesener Block erneut gesendet wird.</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>Transfer pace</source>
        <translation>Übertragungstempo</translation>
    </message>
    <message>
        <source>Retries</source>
        <translation>Wiederholungen</translation>
    </message>
</context>
<context>
    <name>ModuleLibrary</name>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
</context>
<context>
    <name>PlainTextExport</name>
    <message>
        <source>Text File (*.txt)</source>
        <translation>Textdatei (*.txt)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>PortChoice</name>
    <message>
        <source>no MIDI input matches &quot;%1&quot;</source>
        <translation>kein MIDI-Eingang passt zu &quot;%1&quot;</translation>
    </message>
    <message>
        <source>no MIDI input has &quot;MIDI&quot; in its name; choose one with --in</source>
        <translation>kein MIDI-Eingang hat &quot;MIDI&quot; im Namen; wählen Sie einen mit --in</translation>
    </message>
    <message>
        <source>no MIDI output matches &quot;%1&quot;</source>
        <translation>kein MIDI-Ausgang passt zu &quot;%1&quot;</translation>
    </message>
    <message>
        <source>no MIDI output is named like the input &quot;%1&quot;; choose one with --out</source>
        <translation>kein MIDI-Ausgang heißt wie der Eingang &quot;%1&quot;; wählen Sie einen mit --out</translation>
    </message>
</context>
<context>
    <name>PresetClipboard</name>
    <message>
        <source>&quot;%1&quot; stands outside any preset section</source>
        <translation>&quot;%1&quot; steht außerhalb jedes Preset-Abschnitts</translation>
    </message>
    <message>
        <source>[%1] is not a preset section</source>
        <translation>[%1] ist kein Preset-Abschnitt</translation>
    </message>
    <message>
        <source>[%1]: &quot;%2&quot; is not a loop mask from 0 to 255</source>
        <translation>[%1]: &quot;%2&quot; ist keine Loop-Maske von 0 bis 255</translation>
    </message>
    <message>
        <source>[%1]: &quot;%2&quot; is not a program change entry from -1 to %3</source>
        <translation>[%1]: &quot;%2&quot; ist kein Program-Change-Eintrag von -1 bis %3</translation>
    </message>
    <message>
        <source>[%1]: &quot;%2&quot; is not a preset&apos;s key</source>
        <translation>[%1]: &quot;%2&quot; ist kein Schlüssel eines Presets</translation>
    </message>
    <message>
        <source>the text could not be read</source>
        <translation>der Text konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>line %1 is neither a section nor a key with a value</source>
        <translation>Zeile %1 ist weder ein Abschnitt noch ein Schlüssel mit Wert</translation>
    </message>
    <message>
        <source>the text holds no preset sections [0] to [127]</source>
        <translation>der Text enthält keine Preset-Abschnitte [0] bis [127]</translation>
    </message>
    <message>
        <source>[%1] has no loop mask &quot;pc&quot;</source>
        <translation>[%1] hat keine Loop-Maske &quot;pc&quot;</translation>
    </message>
    <message>
        <source>preset %1 is named but not among the presets</source>
        <translation>Preset %1 hat einen Namen, ist aber nicht unter den Presets</translation>
    </message>
</context>
<context>
    <name>PresetCsv</name>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>a quoted field is not closed</source>
        <translation>ein Feld in Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>text after the closing quote of a field</source>
        <translation>Text nach dem schließenden Anführungszeichen eines Felds</translation>
    </message>
    <message>
        <source>a quote inside a field that is not quoted</source>
        <translation>ein Anführungszeichen in einem Feld ohne Anführungszeichen</translation>
    </message>
    <message>
        <source>a carriage return outside quotes</source>
        <translation>ein Wagenrücklauf außerhalb von Anführungszeichen</translation>
    </message>
    <message>
        <source>%1 fields where %2 belong</source>
        <translation>%1 Felder, wo %2 hingehören</translation>
    </message>
    <message>
        <source>the preset &quot;%1&quot; is not one of 1..%2</source>
        <translation>das Preset &quot;%1&quot; ist keines von 1..%2</translation>
    </message>
    <message>
        <source>the name %1</source>
        <translation>der Name %1</translation>
    </message>
    <message>
        <source>loop%1 is &quot;%2&quot;, not 1 (on) or 0 (off)</source>
        <translation>loop%1 ist &quot;%2&quot;, nicht 1 (an) oder 0 (aus)</translation>
    </message>
    <message>
        <source>the pc &quot;%1&quot; is not one of 1..128, none or empty</source>
        <translation>pc &quot;%1&quot; ist keines von 1..128, none oder leer</translation>
    </message>
    <message>
        <source>not UTF-8 text</source>
        <translation>kein UTF-8-Text</translation>
    </message>
    <message>
        <source>no header line &quot;%1&quot;</source>
        <translation>keine Kopfzeile &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the header is not &quot;%1&quot;</source>
        <translation>die Kopfzeile ist nicht &quot;%1&quot;</translation>
    </message>
    <message>
        <source>preset %1 again (line %2 has it)</source>
        <translation>Preset %1 noch einmal (Zeile %2 hat es)</translation>
    </message>
    <message>
        <source>no line for preset %1</source>
        <translation>keine Zeile für Preset %1</translation>
    </message>
</context>
<context>
    <name>PresetNames</name>
    <message>
        <source>the name of preset %1 %2</source>
        <translation>der Name von Preset %1 %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a preset number and a name</source>
        <translation>&quot;%1&quot; ist keine Preset-Nummer mit Namen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a preset number from 1 to %2</source>
        <translation>&quot;%1&quot; ist keine Preset-Nummer von 1 bis %2</translation>
    </message>
    <message>
        <source>preset %1 is named twice</source>
        <translation>Preset %1 hat zwei Namen</translation>
    </message>
    <message>
        <source>the name of preset %1 is not UTF-8 text</source>
        <translation>der Name von Preset %1 ist kein UTF-8-Text</translation>
    </message>
</context>
<context>
    <name>QNetworkReply</name>
    <message>
        <source>Error transferring %1 - server replied: %2</source>
        <translation>Bei der Übertragung von %1 trat ein Fehler auf - Die Antwort des Servers ist: %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Send to Tarvik</source>
        <translation>An Tarvik senden</translation>
    </message>
    <message>
        <source>Keep and compare</source>
        <translation>Behalten und vergleichen</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Try again carefully</source>
        <translation>Behutsam erneut versuchen</translation>
    </message>
</context>
<context>
    <name>RememberedState</name>
    <message>
        <source>The remembered settings in %1 cannot be read; the program starts without them.</source>
        <translation>Die gespeicherten Einstellungen in %1 können nicht gelesen werden; das Programm startet ohne sie.</translation>
    </message>
    <message>
        <source>The remembered settings in %1 are damaged; the program starts without them.</source>
        <translation>Die gespeicherten Einstellungen in %1 sind beschädigt; das Programm startet ohne sie.</translation>
    </message>
    <message>
        <source>The remembered settings cannot be written to %1; the file stays as it was.</source>
        <translation>Die gemerkten Einstellungen können nicht in %1 geschrieben werden; die Datei bleibt, wie sie war.</translation>
    </message>
</context>
<context>
    <name>RestoreParts</name>
    <message>
        <source>--only needs the parts to take: presets, ccmap or settings</source>
        <translation>--only braucht die Teile, die übernommen werden: presets, ccmap oder settings</translation>
    </message>
    <message>
        <source>--only %1: a part is empty</source>
        <translation>--only %1: ein Teil ist leer</translation>
    </message>
    <message>
        <source>--only %1: &quot;%2&quot; is none of presets, ccmap and settings</source>
        <translation>--only %1: „%2“ ist weder presets noch ccmap noch settings</translation>
    </message>
    <message>
        <source>--only %1: the settings are taken all together</source>
        <translation>--only %1: die Einstellungen werden nur alle zusammen übernommen</translation>
    </message>
    <message>
        <source>--only %1: rows are numbers from 1 to 128</source>
        <translation>--only %1: Zeilen sind Zahlen von 1 bis 128</translation>
    </message>
    <message>
        <source>--only %1: the first row comes after the last</source>
        <translation>--only %1: die erste Zeile liegt hinter der letzten</translation>
    </message>
    <message>
        <source>only presets can be taken from a CSV file, not %1</source>
        <translation>aus einer CSV-Datei lassen sich nur Presets übernehmen, nicht %1</translation>
    </message>
    <message>
        <source>there are no settings to take: the source holds only the tables</source>
        <translation>es gibt keine Einstellungen zu übernehmen: die Quelle enthält nur die Tabellen</translation>
    </message>
</context>
<context>
    <name>RtMidiOpenPorts</name>
    <message>
        <source>The MIDI input &quot;%1&quot; is no longer available.</source>
        <translation>Der MIDI-Eingang &quot;%1&quot; ist nicht mehr verfügbar.</translation>
    </message>
    <message>
        <source>The MIDI output &quot;%1&quot; is no longer available.</source>
        <translation>Der MIDI-Ausgang &quot;%1&quot; ist nicht mehr verfügbar.</translation>
    </message>
</context>
<context>
    <name>RtMidiService</name>
    <message>
        <source>There is no message to send.</source>
        <translation>Es gibt keine Nachricht zum Senden.</translation>
    </message>
    <message>
        <source>The MIDI driver reported an error.</source>
        <translation>Der MIDI-Treiber hat einen Fehler gemeldet.</translation>
    </message>
</context>
<context>
    <name>Schema</name>
    <message>
        <source>a preset name of setup %1 is for row %2, which does not exist</source>
        <translation>ein Preset-Name von Setup %1 gehört zu Zeile %2, die es nicht gibt</translation>
    </message>
    <message>
        <source>the name of preset %1 of setup %2 %3</source>
        <translation>der Name von Preset %1 in Setup %2 %3</translation>
    </message>
    <message>
        <source>setup &quot;%1&quot;: %2</source>
        <translation>Setup &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>no way from layout %1 to %2</source>
        <translation>kein Weg von Aufbau %1 zu %2</translation>
    </message>
</context>
<context>
    <name>SelectorItems</name>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>LOOP %1</source>
        <translation>LOOP %1</translation>
    </message>
    <message>
        <source>Master Bypass</source>
        <translation>Master-Bypass</translation>
    </message>
    <message>
        <source>CC Message</source>
        <translation>CC-Nachricht</translation>
    </message>
    <message>
        <source>Kemper TapTempo</source>
        <translation>Kemper TapTempo</translation>
    </message>
</context>
<context>
    <name>SetArrangement</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>SetChart</name>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Song</translation>
    </message>
    <message>
        <source>Loops</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>PC</source>
        <translation>PC</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>SetFollower</name>
    <message>
        <source>LOOP %1</source>
        <translation>LOOP %1</translation>
    </message>
    <message>
        <source>No loop on</source>
        <translation>Kein Loop an</translation>
    </message>
    <message>
        <source>Preset %1</source>
        <translation>Preset %1</translation>
    </message>
    <message>
        <source>Next: %1</source>
        <translation>Als Nächstes: %1</translation>
    </message>
    <message>
        <source>Last song of the set</source>
        <translation>Letzter Song des Sets</translation>
    </message>
    <message>
        <source>Preset %1 is not in this set</source>
        <translation>Preset %1 gehört nicht zu diesem Set</translation>
    </message>
    <message>
        <source>- / %1</source>
        <translation>- / %1</translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Sends program change %1</source>
        <translation>Sendet Program Change %1</translation>
    </message>
    <message>
        <source>Sends no program change</source>
        <translation>Sendet keinen Program Change</translation>
    </message>
    <message>
        <source>Preset %1 on the Tarvik is not &quot;%2&quot;: arrange the set and send it</source>
        <translation>Preset %1 auf dem Tarvik ist nicht „%2“: Set anordnen und senden</translation>
    </message>
</context>
<context>
    <name>SetListStore</name>
    <message>
        <source>no set list named &quot;%1&quot;</source>
        <translation>keine Setliste namens &quot;%1&quot;</translation>
    </message>
    <message>
        <source>a set list has at most %1 songs, one a preset</source>
        <translation>eine Setliste hat höchstens %1 Songs, einen je Preset</translation>
    </message>
    <message>
        <source>preset %1 is not one of 1..%2</source>
        <translation>Preset %1 ist keines von 1..%2</translation>
    </message>
    <message>
        <source>the name of the preset %1</source>
        <translation>der Name des Presets %1</translation>
    </message>
    <message>
        <source>a set list named &quot;%1&quot; exists</source>
        <translation>eine Setliste namens &quot;%1&quot; gibt es schon</translation>
    </message>
</context>
<context>
    <name>SetupColumns</name>
    <message>
        <source>a setup needs a name</source>
        <translation>ein Setup braucht einen Namen</translation>
    </message>
    <message>
        <source>the name &quot;%1&quot; starts or ends with a space</source>
        <translation>der Name &quot;%1&quot; beginnt oder endet mit einem Leerzeichen</translation>
    </message>
    <message>
        <source>the name is %1 characters long; a setup name has at most %2</source>
        <translation>der Name ist %1 Zeichen lang; ein Setup-Name hat höchstens %2</translation>
    </message>
    <message>
        <source>the name &quot;%1&quot; holds %2, a control, format or separator character (a line break, a character that cannot be seen or one that turns the writing direction)</source>
        <translation>der Name &quot;%1&quot; enthält %2, ein Steuer-, Format- oder Trennzeichen (einen Zeilenumbruch, ein unsichtbares Zeichen oder eines, das die Schreibrichtung umkehrt)</translation>
    </message>
</context>
<context>
    <name>SetupLibrary</name>
    <message>
        <source>%1: %2 also becomes a setup named &quot;%3&quot;</source>
        <translation>%1: %2 wird ebenfalls ein Setup namens &quot;%3&quot;</translation>
    </message>
</context>
<context>
    <name>SetupSheet</name>
    <message>
        <source>Tarvik setup sheet</source>
        <translation>Tarvik-Setupblatt</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Loops on</source>
        <translation>Loops an</translation>
    </message>
    <message>
        <source>PC</source>
        <translation>PC</translation>
    </message>
    <message>
        <source>CC %1: %2</source>
        <translation>CC %1: %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>From %1, made %2</source>
        <translation>Aus %1, erstellt %2</translation>
    </message>
    <message>
        <source>Loops</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>%1 (no label)</source>
        <translation>%1 (ohne Namen)</translation>
    </message>
    <message>
        <source>Tarvik setup sheet from %1, %2, page %3 of %4</source>
        <translation>Tarvik-Setupblatt aus %1, %2, Seite %3 von %4</translation>
    </message>
    <message>
        <source>CC map: the controller changes that switch a loop</source>
        <translation>CC-Zuordnung: die Control Changes, die einen Loop schalten</translation>
    </message>
    <message>
        <source>No controller change switches a loop.</source>
        <translation>Kein Control Change schaltet einen Loop.</translation>
    </message>
    <message>
        <source>Advanced settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>%1 holds no settings.</source>
        <translation>%1 enthält keine Einstellungen.</translation>
    </message>
</context>
<context>
    <name>SetupSheetActions</name>
    <message>
        <source>the editors</source>
        <translation>die Editoren</translation>
    </message>
    <message>
        <source>Setup sheet</source>
        <translation>Setupblatt</translation>
    </message>
    <message>
        <source>The setup sheet was not printed.</source>
        <translation>Das Setupblatt wurde nicht gedruckt.</translation>
    </message>
    <message>
        <source>The printer could not be used.</source>
        <translation>Der Drucker ließ sich nicht verwenden.</translation>
    </message>
    <message>
        <source>PDF file (*.pdf);;CSV file (*.csv)</source>
        <translation>PDF-Datei (*.pdf);;CSV-Datei (*.csv)</translation>
    </message>
    <message>
        <source>The setup sheet was not written.</source>
        <translation>Das Setupblatt wurde nicht geschrieben.</translation>
    </message>
    <message>
        <source>A setup sheet is a .pdf or a .csv file; %1 is neither.</source>
        <translation>Ein Setupblatt ist eine .pdf- oder eine .csv-Datei; %1 ist keins von beiden.</translation>
    </message>
    <message>
        <source>The sheet could not be drawn.</source>
        <translation>Das Blatt ließ sich nicht zeichnen.</translation>
    </message>
    <message>
        <source>The setup sheet is written to %1.</source>
        <translation>Das Setupblatt ist nach %1 geschrieben.</translation>
    </message>
</context>
<context>
    <name>SetupStore</name>
    <message>
        <source>no setup named &quot;%1&quot;</source>
        <translation>kein Setup namens &quot;%1&quot;</translation>
    </message>
    <message>
        <source>a setup named &quot;%1&quot; exists</source>
        <translation>ein Setup namens &quot;%1&quot; gibt es schon</translation>
    </message>
    <message>
        <source>setup &quot;%1&quot; is damaged</source>
        <translation>Setup &quot;%1&quot; ist beschädigt</translation>
    </message>
</context>
<context>
    <name>Sql</name>
    <message>
        <source>no result</source>
        <translation>kein Ergebnis</translation>
    </message>
</context>
<context>
    <name>SubmitCaption</name>
    <message>
        <source>Submit to Tarvik</source>
        <translation>Auf Tarvik übertragen</translation>
    </message>
    <message>
        <source>Submit to Tarvik (1 change)</source>
        <translation>Auf Tarvik übertragen (1 Änderung)</translation>
    </message>
    <message>
        <source>Submit to Tarvik (%1 changes)</source>
        <translation>Auf Tarvik übertragen (%1 Änderungen)</translation>
    </message>
</context>
<context>
    <name>TablesFile</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>load %1</source>
        <translation>%1 laden</translation>
    </message>
    <message>
        <source>Tarvik Config File (*.tvk)</source>
        <translation>Tarvik-Konfigurationsdatei (*.tvk)</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The file&apos;s preset names were not loaded: %1</source>
        <translation>Die Preset-Namen der Datei wurden nicht geladen: %1</translation>
    </message>
    <message>
        <source>%1 was loaded with defaults where it says nothing readable: %2</source>
        <translation>%1 wurde geladen, mit Standardwerten, wo sie nichts Lesbares enthält: %2</translation>
    </message>
    <message>
        <source>The file&apos;s loop names were not loaded: %1</source>
        <translation>Die Loop-Namen der Datei wurden nicht geladen: %1</translation>
    </message>
</context>
<context>
    <name>TakeFromActions</name>
    <message>
        <source>Take from</source>
        <translation>Übernehmen aus</translation>
    </message>
    <message>
        <source>Nothing was taken.</source>
        <translation>Es wurde nichts übernommen.</translation>
    </message>
    <message>
        <source>%1 names no loops.</source>
        <translation>%1 benennt keine Loops.</translation>
    </message>
    <message>
        <source>take from %1</source>
        <translation>aus %1 übernehmen</translation>
    </message>
    <message>
        <source>no loop labels: %1 names no loops</source>
        <translation>keine Loop-Namen: %1 benennt keine Loops</translation>
    </message>
    <message>
        <source>loop labels from %1</source>
        <translation>Loop-Namen aus %1</translation>
    </message>
    <message>
        <source>Taken into the editors, not sent: %1</source>
        <translation>In die Editoren übernommen, nicht gesendet: %1</translation>
    </message>
</context>
<context>
    <name>TrafficMeaning</name>
    <message>
        <source>preset %1</source>
        <translation>Preset %1</translation>
    </message>
    <message>
        <source>preset %1 &quot;%2&quot;</source>
        <translation>Preset %1 &quot;%2&quot;</translation>
    </message>
    <message>
        <source>CC %1: no loop</source>
        <translation>CC %1: kein Loop</translation>
    </message>
    <message>
        <source>CC %1: %2</source>
        <translation>CC %1: %2</translation>
    </message>
</context>
<context>
    <name>TvkFile</name>
    <message>
        <source>In %1 kann nicht geschrieben werden.</source>
        <translation>In %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>the file could not be read.</source>
        <translation>die Datei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>not a Tarvik configuration file (no preset sections).</source>
        <translation>keine Tarvik-Konfigurationsdatei (keine Preset-Abschnitte).</translation>
    </message>
    <message>
        <source>section [%1] is missing</source>
        <translation>Abschnitt [%1] fehlt</translation>
    </message>
    <message>
        <source>section [%1] has no %2</source>
        <translation>Abschnitt [%1] hat kein %2</translation>
    </message>
    <message>
        <source>%1 cannot be read</source>
        <translation>%1 ist nicht lesbar</translation>
    </message>
    <message numerus="yes">
        <source>%n of 128 rows missing or incomplete</source>
        <translation>
            <numerusform>%n von 128 Zeilen fehlt oder ist unvollständig</numerusform>
            <numerusform>%n von 128 Zeilen fehlen oder sind unvollständig</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more</source>
        <translation>
            <numerusform>%n weiterer</numerusform>
            <numerusform>%n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>; values that could not be read: %1</source>
        <translation>; nicht lesbare Werte: %1</translation>
    </message>
</context>
<context>
    <name>UpdateRequest</name>
    <message>
        <source>The update server did not answer within %1 seconds (%2)</source>
        <translation>Der Update-Server hat nicht innerhalb von %1 Sekunden geantwortet (%2)</translation>
    </message>
</context>
<context>
    <name>UpdateServerUrl</name>
    <message>
        <source>%1 needs an http(s) URL whose path ends in &quot;/downloads/tarvik/&quot;, not &quot;%2&quot;</source>
        <translation>%1 braucht eine http(s)-URL, deren Pfad auf &quot;/downloads/tarvik/&quot; endet, nicht &quot;%2&quot;</translation>
    </message>
</context>
<context>
    <name>UserFile</name>
    <message>
        <source>larger than %1 KiB, too large for a Tarvik file</source>
        <translation>größer als %1 KiB, zu groß für eine Tarvik-Datei</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
</context>
<context>
    <name>UserText</name>
    <message>
        <source>is longer than %1 characters</source>
        <translation>ist länger als %1 Zeichen</translation>
    </message>
    <message>
        <source>holds a control or format character or a line break</source>
        <translation>enthält ein Steuer- oder Formatzeichen oder einen Zeilenumbruch</translation>
    </message>
    <message>
        <source>starts or ends with a space</source>
        <translation>beginnt oder endet mit einem Leerzeichen</translation>
    </message>
</context>
<context>
    <name>tarvik::AdvancedSettingsTab</name>
    <message>
        <source>Loop%1</source>
        <translation>Loop%1</translation>
    </message>
    <message>
        <source>Midi</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>Kanal:</translation>
    </message>
    <message>
        <source>Omni Mode</source>
        <translation>Omni-Modus</translation>
    </message>
    <message>
        <source>Send ControllChange (#0 - #7) in IAM</source>
        <translation>Control Change (#0 - #7) im IAM senden</translation>
    </message>
    <message>
        <source>Send ProgrammChange in Master Bypass:</source>
        <translation>Programmwechsel bei Master-Bypass senden:</translation>
    </message>
    <message>
        <source>Amp/Rack Mode (always &quot;IAM&quot;)</source>
        <translation>Amp/Rack-Modus (immer &quot;IAM&quot;)</translation>
    </message>
    <message>
        <source>push-buttons</source>
        <translation>Taster</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>debounce time (0-254ms; default 90ms):</source>
        <translation>Entprellzeit (0-254 ms; Standard 90 ms):</translation>
    </message>
    <message>
        <source>Master Bypass when pressed twice</source>
        <translation>Master-Bypass bei doppeltem Drücken</translation>
    </message>
    <message>
        <source>Output mute / momentary switch mode</source>
        <translation>Ausgang stummschalten / Tastbetrieb</translation>
    </message>
    <message>
        <source>mute when changes on (loop mode):</source>
        <translation>stumm beim Umschalten von (Loop-Modus):</translation>
    </message>
    <message>
        <source>before delay (0-255ms):</source>
        <translation>Verzögerung davor (0-255 ms):</translation>
    </message>
    <message>
        <source>after delay (0-255ms):</source>
        <translation>Verzögerung danach (0-255 ms):</translation>
    </message>
    <message>
        <source>momentary switch mode:</source>
        <translation>Tastbetrieb:</translation>
    </message>
    <message>
        <source>*10 ms</source>
        <translation>*10 ms</translation>
    </message>
    <message>
        <source>on time (momentary switch mode):</source>
        <translation>Einschaltdauer (Tastbetrieb):</translation>
    </message>
    <message>
        <source>Magic Pin 20</source>
        <translation>Magic Pin 20</translation>
    </message>
    <message>
        <source>Function:</source>
        <translation>Funktion:</translation>
    </message>
    <message>
        <source>Midi Channel:</source>
        <translation>MIDI-Kanal:</translation>
    </message>
    <message>
        <source>Controll Change:</source>
        <translation>Control Change:</translation>
    </message>
    <message>
        <source>Value:</source>
        <translation>Wert:</translation>
    </message>
    <message>
        <source>Bank Selection Expander on Pin 20</source>
        <translation>Bankwahl-Erweiterung an Pin 20</translation>
    </message>
    <message>
        <source>Expression Pedal CC Nr:</source>
        <translation>Expression-Pedal CC-Nr.:</translation>
    </message>
    <message>
        <source>boundless Bank UP/DOWN</source>
        <translation>Bank AUF/AB ohne Grenze</translation>
    </message>
    <message>
        <source>group 1 of n / interlocking function</source>
        <translation>Gruppe 1 aus n / gegenseitige Verriegelung</translation>
    </message>
    <message>
        <source>changed; the Tarvik holds %1</source>
        <translation>geändert; der Tarvik enthält %1</translation>
    </message>
    <message>
        <source>no selection</source>
        <translation>keine Auswahl</translation>
    </message>
    <message>
        <source>checked</source>
        <translation>aktiviert</translation>
    </message>
    <message>
        <source>unchecked</source>
        <translation>nicht aktiviert</translation>
    </message>
    <message>
        <source>mute when changes on</source>
        <translation>stumm beim Umschalten von</translation>
    </message>
    <message>
        <source>momentary switch mode</source>
        <translation>Tastbetrieb</translation>
    </message>
    <message>
        <source>interlocking group</source>
        <translation>Verriegelungsgruppe</translation>
    </message>
    <message>
        <source>Loop%1, %2</source>
        <translation>Loop%1, %2</translation>
    </message>
    <message>
        <source>Loop%1
%2</source>
        <translation>Loop%1
%2</translation>
    </message>
    <message>
        <source>Loop%1 (%2)</source>
        <translation>Loop%1 (%2)</translation>
    </message>
    <message>
        <source>Loop%1 (%2), %3</source>
        <translation>Loop%1 (%2), %3</translation>
    </message>
</context>
<context>
    <name>tarvik::CarefulRetry</name>
    <message>
        <source>Replies from Tarvik were lost on the way. &quot;Try again carefully&quot; runs the same transfer once more, with %1 ms between frames and %2 retries. The setting for every transfer is on the &quot;Midi&quot; tab.</source>
        <translation>Antworten des Tarvik sind unterwegs verloren gegangen. &quot;Behutsam erneut versuchen&quot; führt dieselbe Übertragung noch einmal aus, mit %1 ms zwischen den Frames und %2 Wiederholungen. Die Einstellung für jede Übertragung befindet sich auf der Registerkarte &quot;MIDI&quot;.</translation>
    </message>
    <message>
        <source>Trying again carefully: %1 ms between frames, %2 retries...</source>
        <translation>Behutsamer neuer Versuch: %1 ms zwischen den Frames, %2 Wiederholungen...</translation>
    </message>
</context>
<context>
    <name>tarvik::CcLearnActions</name>
    <message>
        <source>CC learn: no control change came within %1 seconds; nothing was changed.</source>
        <translation>CC lernen: Innerhalb von %1 Sekunden kam kein Control Change; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>on any MIDI channel (omni mode)</source>
        <translation>auf einem beliebigen MIDI-Kanal (Omni-Modus)</translation>
    </message>
    <message>
        <source>on MIDI channel %1</source>
        <translation>auf MIDI-Kanal %1</translation>
    </message>
    <message>
        <source>Step on the switch that should switch %1.</source>
        <translation>Treten Sie auf den Schalter, der %1 schalten soll.</translation>
    </message>
    <message>
        <source>Step on the switch whose loop you want to choose.</source>
        <translation>Treten Sie auf den Schalter, dessen Loop Sie wählen möchten.</translation>
    </message>
    <message>
        <source>%1
Waiting up to %2 seconds for a control change %3.</source>
        <translation>%1
Warte bis zu %2 Sekunden auf einen Control Change %3.</translation>
    </message>
    <message>
        <source>CC learn</source>
        <translation>CC lernen</translation>
    </message>
    <message>
        <source>CC learn: CC %1 came in; its entry is selected.</source>
        <translation>CC lernen: CC %1 kam an; sein Eintrag ist ausgewählt.</translation>
    </message>
    <message>
        <source>CC learn: CC %1 came in while Tarvik was being read or written; nothing was changed.</source>
        <translation>CC lernen: CC %1 kam an, während Tarvik gelesen oder beschrieben wurde; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>CC learn: CC %1 switches %2 already.</source>
        <translation>CC lernen: CC %1 schaltet bereits %2.</translation>
    </message>
    <message>
        <source>CC %1 switches %2 now. Let it switch %3 instead?</source>
        <translation>CC %1 schaltet jetzt %2. Soll er stattdessen %3 schalten?</translation>
    </message>
    <message>
        <source>Learn CC %1 for LOOP %2</source>
        <translation>CC %1 für LOOP %2 lernen</translation>
    </message>
    <message>
        <source>CC learn: CC %1 now switches %2.</source>
        <translation>CC lernen: CC %1 schaltet jetzt %2.</translation>
    </message>
</context>
<context>
    <name>tarvik::CompareModel</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>Zeile</translation>
    </message>
</context>
<context>
    <name>tarvik::CompareSidePicker</name>
    <message>
        <source>Choose...</source>
        <translation>Auswählen...</translation>
    </message>
    <message>
        <source>The device&apos;s last download</source>
        <translation>Der letzte Download vom Gerät</translation>
    </message>
    <message>
        <source>The editors</source>
        <translation>Die Editoren</translation>
    </message>
    <message>
        <source>A setup of the library</source>
        <translation>Ein Setup aus der Bibliothek</translation>
    </message>
    <message>
        <source>A snapshot of the device history</source>
        <translation>Ein Schnappschuss aus dem Geräteverlauf</translation>
    </message>
    <message>
        <source>A file</source>
        <translation>Eine Datei</translation>
    </message>
    <message>
        <source>Side to compare</source>
        <translation>Zu vergleichende Seite</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Snapshot</source>
        <translation>Schnappschuss</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Editors</source>
        <translation>Editoren</translation>
    </message>
    <message>
        <source>Setup %1</source>
        <translation>Setup %1</translation>
    </message>
    <message>
        <source>Snapshot %1</source>
        <translation>Schnappschuss %1</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>open the last download from Tarvik</source>
        <translation>den letzten Download vom Tarvik öffnen</translation>
    </message>
    <message>
        <source>open setup %1</source>
        <translation>Setup %1 öffnen</translation>
    </message>
    <message>
        <source>open snapshot %1</source>
        <translation>Schnappschuss %1 öffnen</translation>
    </message>
    <message>
        <source>load %1</source>
        <translation>%1 laden</translation>
    </message>
    <message>
        <source>The library holds no setup.</source>
        <translation>Die Bibliothek enthält kein Setup.</translation>
    </message>
    <message>
        <source>Choose a setup.</source>
        <translation>Wählen Sie ein Setup.</translation>
    </message>
    <message>
        <source>The device history is empty.</source>
        <translation>Der Geräteverlauf ist leer.</translation>
    </message>
    <message>
        <source>Choose a snapshot.</source>
        <translation>Wählen Sie einen Schnappschuss.</translation>
    </message>
    <message>
        <source>Choose a file.</source>
        <translation>Wählen Sie eine Datei.</translation>
    </message>
    <message>
        <source>Nothing has been read from the Tarvik yet.</source>
        <translation>Vom Tarvik wurde noch nichts gelesen.</translation>
    </message>
    <message>
        <source>No library is open, so there are no setups to compare.</source>
        <translation>Es ist keine Bibliothek geöffnet, daher gibt es keine Setups zum Vergleichen.</translation>
    </message>
    <message>
        <source>No library is open, so there is no device history to compare.</source>
        <translation>Es ist keine Bibliothek geöffnet, daher gibt es keinen Geräteverlauf zum Vergleichen.</translation>
    </message>
    <message>
        <source>The setup &quot;%1&quot; is no longer in the library. Choose another.</source>
        <translation>Das Setup &quot;%1&quot; ist nicht mehr in der Bibliothek. Bitte ein anderes wählen.</translation>
    </message>
    <message>
        <source>The snapshot %1 is no longer in the device history. Choose another.</source>
        <translation>Der Schnappschuss %1 ist nicht mehr im Geräteverlauf. Bitte einen anderen wählen.</translation>
    </message>
</context>
<context>
    <name>tarvik::CompareWindow</name>
    <message>
        <source>Compare</source>
        <translation>Vergleich</translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Links:</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Rechts:</translation>
    </message>
    <message>
        <source>Open left into the editors</source>
        <translation>Linke Seite in den Editoren öffnen</translation>
    </message>
    <message>
        <source>Open right into the editors</source>
        <translation>Rechte Seite in den Editoren öffnen</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>Unterschiede</translation>
    </message>
    <message>
        <source>Left: %1</source>
        <translation>Links: %1</translation>
    </message>
    <message>
        <source>Right: %1</source>
        <translation>Rechts: %1</translation>
    </message>
    <message>
        <source>The two are the same.</source>
        <translation>Beide sind gleich.</translation>
    </message>
    <message>
        <source>1 difference.</source>
        <translation>1 Unterschied.</translation>
    </message>
    <message>
        <source>%1 differences.</source>
        <translation>%1 Unterschiede.</translation>
    </message>
    <message>
        <source>The settings are not compared: the right side has none.</source>
        <translation>Die Einstellungen werden nicht verglichen: Die rechte Seite hat keine.</translation>
    </message>
    <message>
        <source>The settings are not compared: the left side has none.</source>
        <translation>Die Einstellungen werden nicht verglichen: Die linke Seite hat keine.</translation>
    </message>
    <message>
        <source>The settings are not compared: neither side has them.</source>
        <translation>Die Einstellungen werden nicht verglichen: Keine der beiden Seiten hat welche.</translation>
    </message>
    <message>
        <source>before opening the left side</source>
        <translation>vor dem Öffnen der linken Seite</translation>
    </message>
    <message>
        <source>before opening the right side</source>
        <translation>vor dem Öffnen der rechten Seite</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>Both sides are the editors: choose another side to compare them with (the device&apos;s last download once Tarvik has been read, a setup, a snapshot or a file).</source>
        <translation>Beide Seiten sind die Editoren: Wählen Sie eine andere Seite zum Vergleich (den letzten Download vom Gerät, sobald Tarvik ausgelesen ist, ein Setup, einen Schnappschuss oder eine Datei).</translation>
    </message>
</context>
<context>
    <name>tarvik::ConfiguratorCore</name>
    <message>
        <source>Played preset %1 on Tarvik (program change %1 on MIDI channel %2)</source>
        <translation>Preset %1 auf Tarvik gespielt (Programmwechsel %1 auf MIDI-Kanal %2)</translation>
    </message>
</context>
<context>
    <name>tarvik::EditTracking</name>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>read configuration from Tarvik</source>
        <translation>Konfiguration von Tarvik lesen</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>The configuration holds changes that are neither on the Tarvik nor saved in a file. Save the tables %1?</source>
        <translation>Die Konfiguration enthält Änderungen, die weder auf dem Tarvik noch in einer Datei gespeichert sind. Die Tabellen %1 speichern?</translation>
    </message>
</context>
<context>
    <name>tarvik::FirmwareBackup</name>
    <message>
        <source>no library of setups to keep it in</source>
        <translation>keine Bibliothek der Setups, um es darin aufzubewahren</translation>
    </message>
    <message>
        <source>device history not kept: %1</source>
        <translation>Geräteverlauf nicht geführt: %1</translation>
    </message>
    <message>
        <source>snapshot %1 of the device history</source>
        <translation>Momentaufnahme %1 des Geräteverlaufs</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
</context>
<context>
    <name>tarvik::FirmwareTab</name>
    <message>
        <source>check for updates </source>
        <translation>Nach Updates suchen </translation>
    </message>
    <message>
        <source>download new firmware and flash into Tarvik</source>
        <translation>Neue Firmware herunterladen und auf Tarvik aufspielen</translation>
    </message>
    <message>
        <source>current version:</source>
        <translation>aktuelle Version:</translation>
    </message>
    <message>
        <source>latest version:</source>
        <translation>neueste Version:</translation>
    </message>
    <message>
        <source>change log:</source>
        <translation>Änderungen:</translation>
    </message>
    <message>
        <source>also keep the backup from before the update in a file</source>
        <translation>die Sicherung von vor dem Update auch in einer Datei aufbewahren</translation>
    </message>
</context>
<context>
    <name>tarvik::Flasher</name>
    <message>
        <source>Entering bootloader</source>
        <translation>Bootloader wird gestartet</translation>
    </message>
    <message>
        <source>Upload Flash Page %1 of %2</source>
        <translation>Flash-Seite %1 von %2 hochladen</translation>
    </message>
    <message>
        <source>write RAM to FLASH...</source>
        <translation>RAM in den FLASH schreiben...</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>verify failed! Programming canceled!</source>
        <translation>Prüfung fehlgeschlagen! Programmierung abgebrochen!</translation>
    </message>
    <message>
        <source>verify ok</source>
        <translation>Prüfung ok</translation>
    </message>
    <message>
        <source>entering bootloader</source>
        <translation>Starten des Bootloaders</translation>
    </message>
    <message>
        <source>no reply from Tarvik while %1 - programming canceled</source>
        <translation>keine Antwort vom Tarvik beim %1 - Programmierung abgebrochen</translation>
    </message>
    <message>
        <source>Firmware update successful! Reboot Tarvik...</source>
        <translation>Firmware-Update erfolgreich! Tarvik startet neu...</translation>
    </message>
    <message>
        <source>no confirmation from Tarvik after write RAM to FLASH - reboot Tarvik and check its firmware version</source>
        <translation>keine Bestätigung vom Tarvik nach dem Schreiben des RAM in den FLASH - Tarvik neu starten und seine Firmware-Version prüfen</translation>
    </message>
    <message>
        <source>MIDI port %1 vanished - programming canceled</source>
        <translation>MIDI-Port %1 verschwunden - Programmierung abgebrochen</translation>
    </message>
    <message>
        <source>Tarvik may still be in its bootloader: connect again and flash the firmware once more</source>
        <translation>Tarvik ist womöglich noch in seinem Bootloader: erneut verbinden und die Firmware noch einmal aufspielen</translation>
    </message>
    <message>
        <source>programming canceled: %1</source>
        <translation>Programmierung abgebrochen: %1</translation>
    </message>
    <message>
        <source>leave bootloader...</source>
        <translation>Bootloader verlassen...</translation>
    </message>
    <message>
        <source>Attention! <byte value="xd"/>
Do not disconnect the power supply during the flash procedure!!!!<byte value="xd"/>
<byte value="xd"/>
Want continue?</source>
        <translation>Achtung! <byte value="xd"/>
Während des Aufspielens die Stromversorgung nicht trennen!!!!<byte value="xd"/>
<byte value="xd"/>
Fortfahren?</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>uploading flash page %1 of %2</source>
        <translation>Hochladen der Flash-Seite %1 von %2</translation>
    </message>
    <message>
        <source>flash page %1 of %2 read back different, try %3 of %4</source>
        <translation>Flash-Seite %1 von %2 anders zurückgelesen, Versuch %3 von %4</translation>
    </message>
    <message>
        <source>%1: no reply, try %2 of %3</source>
        <translation>%1: keine Antwort, Versuch %2 von %3</translation>
    </message>
</context>
<context>
    <name>tarvik::FullBackupActions</name>
    <message>
        <source>before the backup reads the configuration from Tarvik</source>
        <translation>vor dem Lesen der Konfiguration von Tarvik für die Sicherung</translation>
    </message>
    <message>
        <source>Back up everything: reading all blocks from Tarvik...</source>
        <translation>Alles sichern: alle Blöcke werden von Tarvik gelesen...</translation>
    </message>
    <message>
        <source>before the restore replaces them</source>
        <translation>vor dem Ersetzen durch die Wiederherstellung</translation>
    </message>
    <message>
        <source>Restore everything from %1...</source>
        <translation>Alles aus %1 wiederherstellen...</translation>
    </message>
    <message>
        <source>Restore the tables from %1 (it has no settings)...</source>
        <translation>Die Tabellen aus %1 wiederherstellen (die Datei hat keine Einstellungen)...</translation>
    </message>
    <message>
        <source>Backup failed: %1</source>
        <translation>Sicherung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Backup written to %1</source>
        <translation>Sicherung nach %1 geschrieben</translation>
    </message>
    <message>
        <source>Backup differs from Tarvik: %1</source>
        <translation>Sicherung weicht vom Tarvik ab: %1</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The backup was written, but it does not keep every value as Tarvik holds it: this program sends these values otherwise, and the backup holds what it would send.

%1</source>
        <translation>Die Sicherung wurde geschrieben, behält aber nicht jeden Wert so, wie Tarvik ihn enthält: Dieses Programm sendet diese Werte anders, und die Sicherung enthält, was es senden würde.

%1</translation>
    </message>
    <message>
        <source>Restore verified: %1</source>
        <translation>Wiederherstellung geprüft: %1</translation>
    </message>
    <message>
        <source>Restore failed: %1</source>
        <translation>Wiederherstellung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The preset names in %1 are left out: %2</source>
        <translation>Die Preset-Namen in %1 werden ausgelassen: %2</translation>
    </message>
    <message>
        <source>Send %1 to Tarvik...</source>
        <translation>%1 an Tarvik senden...</translation>
    </message>
    <message>
        <source>Send %1 to Tarvik (it has no settings)...</source>
        <translation>%1 an Tarvik senden (ohne Einstellungen)...</translation>
    </message>
    <message>
        <source>Send the editors to Tarvik...</source>
        <translation>Inhalt der Editoren an Tarvik senden...</translation>
    </message>
    <message>
        <source>The loop names in %1 are left out: %2</source>
        <translation>Die Loop-Namen in %1 werden ausgelassen: %2</translation>
    </message>
    <message>
        <source>Restore verified (%1 tries): %2</source>
        <translation>Wiederherstellung geprüft (%1 Versuche): %2</translation>
    </message>
</context>
<context>
    <name>tarvik::FullDownload</name>
    <message>
        <source>No Tarvik found</source>
        <translation>Kein Tarvik gefunden</translation>
    </message>
    <message>
        <source>Your Tarvik Version does not match to this software! Please Update Firmware or Software!</source>
        <translation>Die Version Ihres Tarvik passt nicht zu dieser Software! Bitte Firmware oder Software aktualisieren!</translation>
    </message>
    <message>
        <source>Tarvik did not answer while %1</source>
        <translation>Tarvik hat beim %1 nicht geantwortet</translation>
    </message>
    <message>
        <source>MIDI error while %1: %2</source>
        <translation>MIDI-Fehler beim %1: %2</translation>
    </message>
    <message>
        <source>MIDI port %1 vanished while %2</source>
        <translation>MIDI-Port %1 verschwand beim %2</translation>
    </message>
</context>
<context>
    <name>tarvik::GigView</name>
    <message>
        <source>Gig view - %1</source>
        <translation>Bühnenansicht - %1</translation>
    </message>
    <message>
        <source>Current song</source>
        <translation>Aktueller Song</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>Loops</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>Program change</source>
        <translation>Program Change</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Next song</source>
        <translation>Nächster Song</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Foot controller</source>
        <translation>Fußschalter</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>Tarvik is busy: the preset was not played.</source>
        <translation>Tarvik ist beschäftigt: Das Preset wurde nicht gespielt.</translation>
    </message>
    <message>
        <source>The preset was not played: %1</source>
        <translation>Das Preset wurde nicht gespielt: %1</translation>
    </message>
    <message>
        <source>Current song: %1</source>
        <translation>Aktueller Song: %1</translation>
    </message>
    <message>
        <source>Connect to Tarvik in the main window to step through the set from here.</source>
        <translation>Im Hauptfenster mit Tarvik verbinden, um das Set von hier aus durchzuschalten.</translation>
    </message>
    <message>
        <source>Tarvik is busy: the set steps on once the transfer has ended.</source>
        <translation>Tarvik ist beschäftigt: Das Set schaltet weiter, sobald die Übertragung beendet ist.</translation>
    </message>
</context>
<context>
    <name>tarvik::HistoryRecorder</name>
    <message>
        <source>device history not kept: %1</source>
        <translation>Geräteverlauf nicht geführt: %1</translation>
    </message>
</context>
<context>
    <name>tarvik::LibraryHolder</name>
    <message>
        <source>No library file was opened.</source>
        <translation>Es wurde keine Bibliotheksdatei geöffnet.</translation>
    </message>
    <message>
        <source>The library of setups cannot be used, the program goes on without it: %1</source>
        <translation>Die Setup-Bibliothek kann nicht verwendet werden, das Programm arbeitet ohne sie weiter: %1</translation>
    </message>
</context>
<context>
    <name>tarvik::LibraryWindow</name>
    <message>
        <source>Library</source>
        <translation>Bibliothek</translation>
    </message>
    <message>
        <source>Filter by name or note</source>
        <translation>Nach Name oder Notiz filtern</translation>
    </message>
    <message>
        <source>&amp;Setups</source>
        <translation>&amp;Setups</translation>
    </message>
    <message>
        <source>Device &amp;history</source>
        <translation>&amp;Geräteverlauf</translation>
    </message>
    <message>
        <source>Store...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Store what the editors hold (not the device itself) as a new setup, or in place of the setup of the name you give</source>
        <translation>Den Inhalt der Editoren (nicht das Gerät selbst) als neues Setup speichern oder anstelle des Setups mit dem angegebenen Namen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Put the selected setup or snapshot into the editors, as one step that Undo takes back</source>
        <translation>Das gewählte Setup oder den gewählten Schnappschuss in die Editoren laden, als einen Schritt, den Rückgängig zurücknimmt</translation>
    </message>
    <message>
        <source>Send to Tarvik</source>
        <translation>An Tarvik senden</translation>
    </message>
    <message>
        <source>Restore the selected setup or snapshot to the connected Tarvik and check that it holds it</source>
        <translation>Das gewählte Setup oder den gewählten Schnappschuss auf dem angeschlossenen Tarvik wiederherstellen und prüfen, ob der Tarvik alles übernommen hat</translation>
    </message>
    <message>
        <source>Rename...</source>
        <translation>Umbenennen...</translation>
    </message>
    <message>
        <source>Give the selected setup another name</source>
        <translation>Dem gewählten Setup einen anderen Namen geben</translation>
    </message>
    <message>
        <source>Duplicate...</source>
        <translation>Duplizieren...</translation>
    </message>
    <message>
        <source>Copy the selected setup under another name</source>
        <translation>Das gewählte Setup unter einem anderen Namen kopieren</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Löschen...</translation>
    </message>
    <message>
        <source>Delete the selected setup</source>
        <translation>Das gewählte Setup löschen</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>Importieren...</translation>
    </message>
    <message>
        <source>Store .tvk and backup files as setups named after them, all or none; files dropped on this window are imported too</source>
        <translation>.tvk- und Sicherungsdateien als gleichnamige Setups speichern, alle oder keine; auf dieses Fenster gezogene Dateien werden ebenfalls importiert</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Exportieren...</translation>
    </message>
    <message>
        <source>Write the selected setup as a backup file</source>
        <translation>Das gewählte Setup als Sicherungsdatei schreiben</translation>
    </message>
    <message>
        <source>The library of setups cannot be used:
%1

The program works on without it. Another file can be named with the option --library FILE or the environment variable TARVIK_LIBRARY.</source>
        <translation>Die Setup-Bibliothek kann nicht verwendet werden:
%1

Das Programm arbeitet ohne sie weiter. Eine andere Datei lässt sich mit der Option --library DATEI oder der Umgebungsvariablen TARVIK_LIBRARY angeben.</translation>
    </message>
    <message>
        <source>Library: %1</source>
        <translation>Bibliothek: %1</translation>
    </message>
    <message>
        <source>Setups and history</source>
        <translation>Setups und Verlauf</translation>
    </message>
    <message>
        <source>Set lists</source>
        <translation>Setlisten</translation>
    </message>
    <message>
        <source>Name of the setup:</source>
        <translation>Name des Setups:</translation>
    </message>
    <message>
        <source>Store</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>The library holds a setup named &quot;%1&quot;. Replace its contents with what the editors hold? Its note stays.</source>
        <translation>Die Bibliothek enthält bereits ein Setup namens &quot;%1&quot;. Seinen Inhalt durch den Inhalt der Editoren ersetzen? Seine Notiz bleibt erhalten.</translation>
    </message>
    <message>
        <source>A note on the setup (may stay empty):</source>
        <translation>Eine Notiz zum Setup (darf leer bleiben):</translation>
    </message>
    <message>
        <source>The setup was not stored</source>
        <translation>Das Setup wurde nicht gespeichert</translation>
    </message>
    <message>
        <source>The editors are stored as the setup &quot;%1&quot;.</source>
        <translation>Der Inhalt der Editoren ist als Setup &quot;%1&quot; gespeichert.</translation>
    </message>
    <message>
        <source>before the setup is opened</source>
        <translation>vor dem Öffnen des Setups</translation>
    </message>
    <message>
        <source>before the snapshot is opened</source>
        <translation>vor dem Öffnen des Schnappschusses</translation>
    </message>
    <message>
        <source>open %1</source>
        <translation>%1 öffnen</translation>
    </message>
    <message>
        <source>New name of the setup &quot;%1&quot;:</source>
        <translation>Neuer Name des Setups &quot;%1&quot;:</translation>
    </message>
    <message>
        <source>The setup was not renamed</source>
        <translation>Das Setup wurde nicht umbenannt</translation>
    </message>
    <message>
        <source>Name of the copy of &quot;%1&quot;:</source>
        <translation>Name der Kopie von &quot;%1&quot;:</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>%1 Kopie</translation>
    </message>
    <message>
        <source>The setup was not copied</source>
        <translation>Das Setup wurde nicht kopiert</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the setup &quot;%1&quot; from the library? This cannot be undone.</source>
        <translation>Das Setup &quot;%1&quot; aus der Bibliothek löschen? Das lässt sich nicht rückgängig machen.</translation>
    </message>
    <message>
        <source>The setup was not deleted</source>
        <translation>Das Setup wurde nicht gelöscht</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>The library holds setups named %1. Replace them with the files?</source>
        <translation>Die Bibliothek enthält bereits Setups namens %1. Durch die Dateien ersetzen?</translation>
    </message>
    <message>
        <source>Nothing was imported</source>
        <translation>Es wurde nichts importiert</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) imported into the library.</source>
        <translation>
            <numerusform>%n Datei in die Bibliothek importiert.</numerusform>
            <numerusform>%n Dateien in die Bibliothek importiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>The setup was not exported</source>
        <translation>Das Setup wurde nicht exportiert</translation>
    </message>
    <message>
        <source>The setup &quot;%1&quot; is written to %2.</source>
        <translation>Das Setup &quot;%1&quot; wurde nach %2 geschrieben.</translation>
    </message>
    <message>
        <source>The setup cannot be read</source>
        <translation>Das Setup kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The snapshot cannot be read</source>
        <translation>Der Schnappschuss kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the setup &quot;%1&quot;</source>
        <translation>das Setup &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the snapshot of %1</source>
        <translation>den Schnappschuss vom %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>tarvik::LinkTest</name>
    <message>
        <source>MIDI port %1 vanished while the link was tested</source>
        <translation>MIDI-Port %1 ist während des Verbindungstests verschwunden</translation>
    </message>
</context>
<context>
    <name>tarvik::PresetMatrixModel</name>
    <message>
        <source>Controll Change (IAM over Midi)</source>
        <translation>Control Change (IAM über MIDI)</translation>
    </message>
    <message>
        <source>Programm Change Output</source>
        <translation>Programmwechsel senden</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Preset %1 Loop %2</source>
        <translation>Preset %1 Loop %2</translation>
    </message>
    <message>
        <source>Preset %1 %2</source>
        <translation>Preset %1 %2</translation>
    </message>
    <message>
        <source>Preset %1 %2: %3</source>
        <translation>Preset %1 %2: %3</translation>
    </message>
    <message>
        <source>changed; the Tarvik holds %1</source>
        <translation>geändert; der Tarvik enthält %1</translation>
    </message>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>no selection</source>
        <translation>keine Auswahl</translation>
    </message>
</context>
<context>
    <name>tarvik::PresetMatrixTab</name>
    <message>
        <source>Save as File</source>
        <translation>Als Datei speichern</translation>
    </message>
    <message>
        <source>Load from File</source>
        <translation>Aus Datei laden</translation>
    </message>
    <message>
        <source>Back up everything...</source>
        <translation>Alles sichern...</translation>
    </message>
    <message>
        <source>Restore everything...</source>
        <translation>Alles wiederherstellen...</translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation>Alle abwählen</translation>
    </message>
    <message>
        <source>Default ProgramChange</source>
        <translation>Standard-Programmwechsel</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>Interlock moved and pasted presets</source>
        <translation>Verriegelung auf verschobene und eingefügte Presets anwenden</translation>
    </message>
    <message>
        <source>When ticked, presets that are pasted, moved, swapped or duplicated keep only one loop of the interlock group, the lowest; otherwise they arrive exactly as they were.</source>
        <translation>Wenn angehakt, behalten eingefügte, verschobene, getauschte oder duplizierte Presets nur einen Loop der Verriegelungsgruppe, den niedrigsten; sonst kommen sie genau so an, wie sie waren.</translation>
    </message>
    <message>
        <source>Play on Tarvik</source>
        <translation>Auf Tarvik spielen</translation>
    </message>
    <message>
        <source>Follow</source>
        <translation>Mitlaufen</translation>
    </message>
    <message>
        <source>Show the preset that Tarvik switches to by a program change</source>
        <translation>Das Preset zeigen, zu dem Tarvik durch einen Programmwechsel schaltet</translation>
    </message>
    <message>
        <source>Preset numbers</source>
        <translation>Preset-Nummern</translation>
    </message>
    <message>
        <source>Name LOOP%1...</source>
        <translation>LOOP%1 benennen...</translation>
    </message>
    <message>
        <source>Setup sheet...</source>
        <translation>Setupblatt...</translation>
    </message>
    <message>
        <source>Print...</source>
        <translation>Drucken...</translation>
    </message>
    <message>
        <source>Save as PDF or CSV...</source>
        <translation>Als PDF oder CSV speichern...</translation>
    </message>
    <message>
        <source>Swap LOOP %1 with...</source>
        <translation>LOOP %1 tauschen mit...</translation>
    </message>
    <message>
        <source>Learn CC for LOOP %1...</source>
        <translation>CC für LOOP %1 lernen...</translation>
    </message>
    <message>
        <source>Learn this CC&apos;s loop</source>
        <translation>Loop dieses CC lernen</translation>
    </message>
    <message>
        <source>Swap LOOP %1 with LOOP %2</source>
        <translation>LOOP %1 mit LOOP %2 tauschen</translation>
    </message>
    <message>
        <source>Take from...</source>
        <translation>Übernehmen aus...</translation>
    </message>
</context>
<context>
    <name>tarvik::PresetRowActions</name>
    <message>
        <source>Copy presets</source>
        <translation>Presets kopieren</translation>
    </message>
    <message>
        <source>Cut presets</source>
        <translation>Presets ausschneiden</translation>
    </message>
    <message>
        <source>Paste presets</source>
        <translation>Presets einfügen</translation>
    </message>
    <message>
        <source>Duplicate presets</source>
        <translation>Presets duplizieren</translation>
    </message>
    <message>
        <source>Swap two presets</source>
        <translation>Zwei Presets tauschen</translation>
    </message>
    <message>
        <source>Move presets up</source>
        <translation>Presets nach oben verschieben</translation>
    </message>
    <message>
        <source>Move presets down</source>
        <translation>Presets nach unten verschieben</translation>
    </message>
    <message>
        <source>Insert empty preset</source>
        <translation>Leeres Preset einfügen</translation>
    </message>
    <message>
        <source>The clipboard holds no presets to paste: %1.</source>
        <translation>Die Zwischenablage enthält keine Presets zum Einfügen: %1.</translation>
    </message>
    <message>
        <source>paste presets</source>
        <translation>Presets einfügen</translation>
    </message>
    <message>
        <source>cut presets</source>
        <translation>Presets ausschneiden</translation>
    </message>
    <message>
        <source>duplicate presets</source>
        <translation>Presets duplizieren</translation>
    </message>
    <message>
        <source>swap presets</source>
        <translation>Presets tauschen</translation>
    </message>
    <message>
        <source>move presets</source>
        <translation>Presets verschieben</translation>
    </message>
    <message>
        <source>insert an empty preset</source>
        <translation>leeres Preset einfügen</translation>
    </message>
</context>
<context>
    <name>tarvik::RestoreCheck</name>
    <message>
        <source>Tarvik did not store the %1 (status %2)</source>
        <translation>Tarvik hat die %1 nicht gespeichert (Status %2)</translation>
    </message>
    <message>
        <source>%1 (byte %2)</source>
        <translation>%1 (Byte %2)</translation>
    </message>
    <message>
        <source>row %1</source>
        <translation>Zeile %1</translation>
    </message>
    <message>
        <source>%1 differ from %2 on: device %3, file %4</source>
        <translation>%1: Unterschied ab %2: Gerät %3, Datei %4</translation>
    </message>
    <message>
        <source>the link is busy</source>
        <translation>die Verbindung ist belegt</translation>
    </message>
    <message>
        <source>Tarvik holds the file&apos;s presets, CC map, PC remap table and settings</source>
        <translation>Tarvik enthält die Presets, CC-Zuordnung, PC-Umleitungstabelle und Einstellungen der Datei</translation>
    </message>
    <message>
        <source>Tarvik holds the file&apos;s presets, CC map and PC remap table; its settings were left as they were</source>
        <translation>Tarvik enthält die Presets, CC-Zuordnung und PC-Umleitungstabelle der Datei; seine Einstellungen blieben unverändert</translation>
    </message>
    <message>
        <source>Tarvik held the parts already; nothing was sent</source>
        <translation>Tarvik hatte die Teile schon; nichts wurde gesendet</translation>
    </message>
    <message>
        <source>Tarvik holds the parts over what it held; its settings were left as they were</source>
        <translation>Tarvik hält die Teile über dem, was es hatte; seine Einstellungen blieben, wie sie waren</translation>
    </message>
    <message>
        <source>Tarvik holds the parts over what it held; its tables were left as they were</source>
        <translation>Tarvik hält die Teile über dem, was es hatte; seine Tabellen blieben, wie sie waren</translation>
    </message>
    <message>
        <source>Tarvik holds the parts over what it held</source>
        <translation>Tarvik hält die Teile über dem, was es hatte</translation>
    </message>
    <message>
        <source>%1 differ from %2 on after the submit, try %3 of %4</source>
        <translation>%1: Unterschied ab %2 nach dem Senden, Versuch %3 von %4</translation>
    </message>
</context>
<context>
    <name>tarvik::SetListPane</name>
    <message>
        <source>Set list</source>
        <translation>Setliste</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Song</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>Loops</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>New...</source>
        <translation>Neu...</translation>
    </message>
    <message>
        <source>Start a new, empty set list</source>
        <translation>Eine neue, leere Setliste beginnen</translation>
    </message>
    <message>
        <source>Rename...</source>
        <translation>Umbenennen...</translation>
    </message>
    <message>
        <source>Give the set list another name</source>
        <translation>Der Setliste einen anderen Namen geben</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Löschen...</translation>
    </message>
    <message>
        <source>Delete the set list</source>
        <translation>Die Setliste löschen</translation>
    </message>
    <message>
        <source>Add from editors...</source>
        <translation>Aus den Editoren hinzufügen...</translation>
    </message>
    <message>
        <source>Add a song with a copy of one of the editors&apos; presets</source>
        <translation>Einen Song mit einer Kopie eines Presets der Editoren hinzufügen</translation>
    </message>
    <message>
        <source>Add from selection...</source>
        <translation>Aus der Auswahl hinzufügen...</translation>
    </message>
    <message>
        <source>Add a song with a copy of one preset of the selected setup or snapshot</source>
        <translation>Einen Song mit einer Kopie eines Presets des gewählten Setups oder Schnappschusses hinzufügen</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Hoch</translation>
    </message>
    <message>
        <source>Play the song one earlier</source>
        <translation>Den Song einen Platz früher spielen</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Runter</translation>
    </message>
    <message>
        <source>Play the song one later</source>
        <translation>Den Song einen Platz später spielen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Take the song out of the set</source>
        <translation>Den Song aus dem Set nehmen</translation>
    </message>
    <message>
        <source>Arrange</source>
        <translation>Anordnen</translation>
    </message>
    <message>
        <source>Put the songs&apos; presets at presets 1, 2, 3 ... in the editors, in set order, as one step that Undo takes back</source>
        <translation>Die Presets der Songs in Set-Reihenfolge auf die Presets 1, 2, 3 ... der Editoren legen, als ein Schritt, den Rückgängig zurücknimmt</translation>
    </message>
    <message>
        <source>Print chart...</source>
        <translation>Setliste drucken...</translation>
    </message>
    <message>
        <source>Print the set chart for the music stand</source>
        <translation>Die Setliste für den Notenständer drucken</translation>
    </message>
    <message>
        <source>Save chart as PDF...</source>
        <translation>Setliste als PDF speichern...</translation>
    </message>
    <message>
        <source>Write the set chart for the music stand as a PDF file</source>
        <translation>Die Setliste für den Notenständer als PDF-Datei schreiben</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 aus %2</translation>
    </message>
    <message>
        <source>The set list was not changed.</source>
        <translation>Die Setliste wurde nicht geändert.</translation>
    </message>
    <message>
        <source>New set list</source>
        <translation>Neue Setliste</translation>
    </message>
    <message>
        <source>Name of the set list:</source>
        <translation>Name der Setliste:</translation>
    </message>
    <message>
        <source>The set list was not made.</source>
        <translation>Die Setliste wurde nicht angelegt.</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>New name of the set list:</source>
        <translation>Neuer Name der Setliste:</translation>
    </message>
    <message>
        <source>The set list was not renamed.</source>
        <translation>Die Setliste wurde nicht umbenannt.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the set list &quot;%1&quot;? The setups stay.</source>
        <translation>Die Setliste &quot;%1&quot; löschen? Die Setups bleiben.</translation>
    </message>
    <message>
        <source>The set list was not deleted.</source>
        <translation>Die Setliste wurde nicht gelöscht.</translation>
    </message>
    <message>
        <source>Add a song</source>
        <translation>Einen Song hinzufügen</translation>
    </message>
    <message>
        <source>The song was not added.</source>
        <translation>Der Song wurde nicht hinzugefügt.</translation>
    </message>
    <message>
        <source>Name of the song:</source>
        <translation>Name des Songs:</translation>
    </message>
    <message>
        <source>snapshot %1 (%2)</source>
        <translation>Schnappschuss %1 (%2)</translation>
    </message>
    <message>
        <source>Select a setup or a snapshot first: the song takes one of its presets.</source>
        <translation>Zuerst ein Setup oder einen Schnappschuss wählen: Der Song übernimmt eines seiner Presets.</translation>
    </message>
    <message>
        <source>Arranging &quot;%1&quot; overwrites these presets in the editors: %2.

The CC map, the settings and the presets after the set stay. Undo takes it back. Go on?</source>
        <translation>Das Anordnen von &quot;%1&quot; überschreibt diese Presets in den Editoren: %2.

Die CC-Zuordnung, die Einstellungen und die Presets nach dem Set bleiben. Rückgängig nimmt es zurück. Weiter?</translation>
    </message>
    <message>
        <source>arrange set &quot;%1&quot;</source>
        <translation>Set &quot;%1&quot; anordnen</translation>
    </message>
    <message>
        <source>The set &quot;%1&quot; is arranged at presets 1 to %2 in the editors.</source>
        <translation>Das Set &quot;%1&quot; liegt nun auf den Presets 1 bis %2 der Editoren.</translation>
    </message>
    <message>
        <source>PDF file (*.pdf)</source>
        <translation>PDF-Datei (*.pdf)</translation>
    </message>
    <message>
        <source>The set chart was not written.</source>
        <translation>Die Setliste wurde nicht geschrieben.</translation>
    </message>
    <message>
        <source>The chart could not be drawn.</source>
        <translation>Die Setliste ließ sich nicht zeichnen.</translation>
    </message>
    <message>
        <source>The set chart of &quot;%1&quot; is written to %2.</source>
        <translation>Die Setliste von &quot;%1&quot; ist nach %2 geschrieben.</translation>
    </message>
    <message>
        <source>The set chart was not printed.</source>
        <translation>Die Setliste wurde nicht gedruckt.</translation>
    </message>
    <message>
        <source>The printer could not be used.</source>
        <translation>Der Drucker ließ sich nicht verwenden.</translation>
    </message>
    <message>
        <source>%1 from the editors</source>
        <translation>%1 aus den Editoren</translation>
    </message>
    <message>
        <source>the editors</source>
        <translation>den Editoren</translation>
    </message>
    <message>
        <source>Preset of %1:</source>
        <translation>Preset aus %1:</translation>
    </message>
    <message>
        <source>Gig view</source>
        <translation>Bühnenansicht</translation>
    </message>
    <message>
        <source>Follow the set on stage in large type, and step through it from the keyboard</source>
        <translation>Das Set auf der Bühne in großer Schrift verfolgen und mit der Tastatur durchschalten</translation>
    </message>
</context>
<context>
    <name>tarvik::TForm1</name>
    <message>
        <source>The update server cannot be reached: the program&apos;s module %1 could not be loaded (%2)</source>
        <translation>Der Update-Server ist nicht erreichbar: Das Modul %1 des Programms konnte nicht geladen werden (%2)</translation>
    </message>
    <message>
        <source>No MIDI ports are available: the program&apos;s module %1 could not be loaded (%2).</source>
        <translation>Keine MIDI-Ports verfügbar: Das Modul %1 des Programms konnte nicht geladen werden (%2).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Timeout!</source>
        <translation>Zeitüberschreitung!</translation>
    </message>
    <message>
        <source>Tarvik Configurator - Version: </source>
        <translation>Tarvik-Konfigurator - Version: </translation>
    </message>
    <message>
        <source>Tarvik Configurator - MIDI loop switcher set-up</source>
        <translation>Tarvik-Konfigurator - Einrichtung des MIDI-Loop-Switchers</translation>
    </message>
    <message>
        <source>Presets / Controll Change</source>
        <translation>Presets / Control Change</translation>
    </message>
    <message>
        <source>Advanced settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Firmware-Update</translation>
    </message>
    <message>
        <source>Test Midi Controller</source>
        <translation>Controller-Test</translation>
    </message>
    <message>
        <source>No Tarvik found :(</source>
        <translation>Kein Tarvik gefunden :(</translation>
    </message>
    <message>
        <source>before closing the window</source>
        <translation>vor dem Schließen des Fensters</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Please select a Midi Input Device!</source>
        <translation>Bitte ein MIDI-Eingabegerät wählen!</translation>
    </message>
    <message>
        <source>Please select a Midi Output Device!</source>
        <translation>Bitte ein MIDI-Ausgabegerät wählen!</translation>
    </message>
    <message>
        <source>before reading the configuration from Tarvik</source>
        <translation>vor dem Lesen der Konfiguration von Tarvik</translation>
    </message>
    <message>
        <source>before loading a file</source>
        <translation>vor dem Laden einer Datei</translation>
    </message>
    <message>
        <source>The Tarvik did not answer while %1. The transfer was aborted; please check the MIDI connection and try again.</source>
        <translation>Der Tarvik hat beim %1 nicht geantwortet. Die Übertragung wurde abgebrochen; bitte die MIDI-Verbindung prüfen und es erneut versuchen.</translation>
    </message>
    <message>
        <source>The MIDI port %1 vanished while %2. The transfer was aborted; connect again once the port is back.</source>
        <translation>Der MIDI-Port %1 verschwand beim %2. Die Übertragung wurde abgebrochen; erneut verbinden, sobald der Port wieder da ist.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The MIDI port %1 vanished during the firmware update. Tarvik may still be in its bootloader: connect again and flash the firmware once more.</source>
        <translation>Der MIDI-Port %1 verschwand während des Firmware-Updates. Tarvik ist womöglich noch in seinem Bootloader: erneut verbinden und die Firmware noch einmal aufspielen.</translation>
    </message>
    <message>
        <source>Tarvik Configurator</source>
        <translation>Tarvik-Konfigurator</translation>
    </message>
    <message>
        <source>Event log</source>
        <translation>Ereignisprotokoll</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Registerkarten</translation>
    </message>
    <message>
        <source>The editors hold what was opened while no Tarvik was connected. Send it to Tarvik (verified), keep it and read Tarvik only for Compare, or replace it with Tarvik&apos;s configuration?</source>
        <translation>Die Editoren enthalten, was geöffnet wurde, während kein Tarvik verbunden war. An Tarvik senden (mit Prüfung), behalten und Tarvik nur für den Vergleich lesen, oder durch die Konfiguration des Tarvik ersetzen?</translation>
    </message>
    <message>
        <source>The editors are kept; Tarvik&apos;s configuration is read for Compare only.</source>
        <translation>Die Editoren bleiben, wie sie sind; die Konfiguration des Tarvik wird nur für den Vergleich gelesen.</translation>
    </message>
    <message>
        <source>before the backup reads the configuration from Tarvik</source>
        <translation>bevor die Sicherung die Konfiguration vom Tarvik liest</translation>
    </message>
    <message>
        <source>The setup from before the firmware update is kept as %1.</source>
        <translation>Das Setup von vor dem Firmware-Update ist aufbewahrt als %1.</translation>
    </message>
    <message>
        <source>Tarvik may still be in its bootloader and cannot be read: the firmware is flashed without a backup of the setup.</source>
        <translation>Tarvik ist womöglich noch in seinem Bootloader und kann nicht gelesen werden: Die Firmware wird ohne Sicherung des Setups aufgespielt.</translation>
    </message>
    <message>
        <source>Backing up the setup before firmware %1...</source>
        <translation>Setup wird vor Firmware %1 gesichert...</translation>
    </message>
    <message>
        <source>No backup of the setup before the firmware update: %1</source>
        <translation>Keine Sicherung des Setups vor dem Firmware-Update: %1</translation>
    </message>
    <message>
        <source>The setup could not be backed up before the firmware update: %1

Flash without backup?</source>
        <translation>Das Setup konnte vor dem Firmware-Update nicht gesichert werden: %1

Ohne Sicherung aufspielen?</translation>
    </message>
    <message>
        <source>After the firmware update Tarvik holds the setup from before it.</source>
        <translation>Nach dem Firmware-Update enthält Tarvik das Setup von vorher.</translation>
    </message>
    <message numerus="yes">
        <source>After the firmware update Tarvik differs from the setup before it in %n byte(s).</source>
        <translation>
            <numerusform>Nach dem Firmware-Update weicht Tarvik in %n Byte vom Setup von vorher ab.</numerusform>
            <numerusform>Nach dem Firmware-Update weicht Tarvik in %n Bytes vom Setup von vorher ab.</numerusform>
        </translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
    <message>
        <source>After the firmware update Tarvik holds another setup than before it:

%1

Send the setup from before the update (%2) back to Tarvik, verified?</source>
        <translation>Nach dem Firmware-Update enthält Tarvik ein anderes Setup als vorher:

%1

Das Setup von vor dem Update (%2) mit Prüfung zurück an Tarvik senden?</translation>
    </message>
    <message>
        <source>the setup from before firmware %1</source>
        <translation>das Setup von vor Firmware %1</translation>
    </message>
    <message>
        <source>Loop names</source>
        <translation>Loop-Namen</translation>
    </message>
    <message>
        <source>What is in LOOP%1 (at most %2 characters; empty for no name):</source>
        <translation>Was steckt in LOOP%1 (höchstens %2 Zeichen; leer für keinen Namen):</translation>
    </message>
    <message>
        <source>LOOP%1 was not renamed: the name %2.</source>
        <translation>LOOP%1 wurde nicht umbenannt: der Name %2.</translation>
    </message>
    <message>
        <source>Identify was sent to the output &quot;%1&quot;; no reply came on the input &quot;%2&quot; (nor on any other open input).</source>
        <translation>Identify wurde an den Ausgang &quot;%1&quot; gesendet; am Eingang &quot;%2&quot; (und an jedem anderen offenen Eingang) kam keine Antwort.</translation>
    </message>
    <message>
        <source>MIDI system: none reached</source>
        <translation>MIDI-System: keines erreicht</translation>
    </message>
    <message>
        <source>MIDI system: %1</source>
        <translation>MIDI-System: %1</translation>
    </message>
    <message>
        <source>No Tarvik is connected: connect to it on the &quot;Midi&quot; tab first.</source>
        <translation>Kein Tarvik ist verbunden: Verbinden Sie ihn zuerst auf der Registerkarte &quot;MIDI&quot;.</translation>
    </message>
    <message>
        <source>Testing the link: %1 identifies, one after the other...</source>
        <translation>Verbindung wird getestet: %1 Identify-Anfragen, eine nach der anderen...</translation>
    </message>
    <message>
        <source>%1 of %2 replies lost: try a &quot;Transfer pace&quot; of %3 ms</source>
        <translation>%1 von %2 Antworten verloren: Versuchen Sie ein &quot;Übertragungstempo&quot; von %3 ms</translation>
    </message>
</context>
<context>
    <name>tarvik::TakeFromDialog</name>
    <message>
        <source>Presets (loops, program change and name)</source>
        <translation>Presets (Loops, Program Change und Name)</translation>
    </message>
    <message>
        <source>CC map rows</source>
        <translation>Zeilen der CC-Zuordnung</translation>
    </message>
    <message>
        <source>The 20 settings</source>
        <translation>Die 20 Einstellungen</translation>
    </message>
    <message>
        <source>The loops&apos; labels</source>
        <translation>Die Loop-Namen</translation>
    </message>
    <message>
        <source>Take from</source>
        <translation>Übernehmen aus</translation>
    </message>
    <message>
        <source>Take into the editors</source>
        <translation>In die Editoren übernehmen</translation>
    </message>
    <message>
        <source>Tarvik Config File or CSV (*.tvk *.csv)</source>
        <translation>Tarvik-Konfigurationsdatei oder CSV (*.tvk *.csv)</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>%1: first row</source>
        <translation>%1: erste Zeile</translation>
    </message>
    <message>
        <source>%1: last row</source>
        <translation>%1: letzte Zeile</translation>
    </message>
</context>
<context>
    <name>tarvik::TestControllerTab</name>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>Midi Channel:</source>
        <translation>MIDI-Kanal:</translation>
    </message>
    <message>
        <source>Progamm Change:</source>
        <translation>Programmwechsel:</translation>
    </message>
    <message>
        <source>Controll Change:</source>
        <translation>Control Change:</translation>
    </message>
    <message>
        <source>Send program change</source>
        <translation>Programmwechsel senden</translation>
    </message>
    <message>
        <source>Send control change</source>
        <translation>Control Change senden</translation>
    </message>
    <message>
        <source>Control change on</source>
        <translation>Control Change an</translation>
    </message>
</context>
<context>
    <name>tarvik::TrafficWindow</name>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>MIDI Traffic</source>
        <translation>MIDI-Datenverkehr</translation>
    </message>
    <message>
        <source>MIDI traffic</source>
        <translation>MIDI-Datenverkehr</translation>
    </message>
</context>
<context>
    <name>tarvik::TransferMachine</name>
    <message>
        <source>Tarvik did not store the %1 (status %2)</source>
        <translation>Tarvik hat die %1 nicht gespeichert (Status %2)</translation>
    </message>
    <message>
        <source>advanced settings</source>
        <translation>erweiterten Einstellungen</translation>
    </message>
    <message>
        <source>presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>identifying</source>
        <translation>Erkennen</translation>
    </message>
    <message>
        <source>downloading presets</source>
        <translation>Herunterladen der Presets</translation>
    </message>
    <message>
        <source>downloading config</source>
        <translation>Herunterladen der Konfiguration</translation>
    </message>
    <message>
        <source>downloading control changes</source>
        <translation>Herunterladen der Control Changes</translation>
    </message>
    <message>
        <source>downloading program change remap table</source>
        <translation>Herunterladen der Programmwechsel-Umleitungstabelle</translation>
    </message>
    <message>
        <source>submitting config</source>
        <translation>Übertragen der Konfiguration</translation>
    </message>
    <message>
        <source>submitting presets</source>
        <translation>Übertragen der Presets</translation>
    </message>
    <message>
        <source>submitting control changes</source>
        <translation>Übertragen der Control Changes</translation>
    </message>
    <message>
        <source>submitting program change remap table</source>
        <translation>Übertragen der Programmwechsel-Umleitungstabelle</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>Warten</translation>
    </message>
    <message>
        <source>%1. Please submit again.</source>
        <translation>%1. Bitte erneut übertragen.</translation>
    </message>
    <message>
        <source>%1. The control changes and the program change remap table were sent; please submit again.</source>
        <translation>%1. Die Control Changes und die Programmwechsel-Umleitungstabelle wurden gesendet; bitte erneut übertragen.</translation>
    </message>
    <message>
        <source>tables</source>
        <translation>Tabellen</translation>
    </message>
    <message>
        <source>submit config</source>
        <translation>Konfiguration übertragen</translation>
    </message>
    <message>
        <source>submit presets</source>
        <translation>Presets übertragen</translation>
    </message>
    <message>
        <source>reply %1 from Tarvik ignored while the firmware is flashed</source>
        <translation>Antwort %1 vom Tarvik ignoriert, während die Firmware aufgespielt wird</translation>
    </message>
    <message>
        <source>late reply %1 from Tarvik after the transfer was aborted - ignored</source>
        <translation>späte Antwort %1 vom Tarvik nach Abbruch der Übertragung - ignoriert</translation>
    </message>
    <message>
        <source>128 presets complete</source>
        <translation>128 Presets vollständig</translation>
    </message>
    <message>
        <source>download config...</source>
        <translation>Konfiguration herunterladen...</translation>
    </message>
    <message>
        <source>%1 config items found</source>
        <translation>%1 Konfigurationswerte gefunden</translation>
    </message>
    <message>
        <source>download control changes...</source>
        <translation>Control Changes herunterladen...</translation>
    </message>
    <message>
        <source>control changes complete</source>
        <translation>Control Changes vollständig</translation>
    </message>
    <message>
        <source>download programm change remap table...</source>
        <translation>Programmwechsel-Umleitungstabelle herunterladen...</translation>
    </message>
    <message>
        <source>download programm change remap table complete</source>
        <translation>Programmwechsel-Umleitungstabelle vollständig heruntergeladen</translation>
    </message>
    <message>
        <source>transmission successful</source>
        <translation>Übertragung erfolgreich</translation>
    </message>
    <message>
        <source>submit control changes</source>
        <translation>Control Changes übertragen</translation>
    </message>
    <message>
        <source>submit programm change remap table</source>
        <translation>Programmwechsel-Umleitungstabelle übertragen</translation>
    </message>
    <message>
        <source>Tarvik found! Firmware-Version: %1</source>
        <translation>Tarvik gefunden! Firmware-Version: %1</translation>
    </message>
    <message>
        <source>download presets...</source>
        <translation>Presets herunterladen...</translation>
    </message>
    <message>
        <source>no reply from Tarvik while %1 - transfer aborted</source>
        <translation>keine Antwort vom Tarvik beim %1 - Übertragung abgebrochen</translation>
    </message>
    <message>
        <source>MIDI port %1 vanished while %2 - transfer aborted</source>
        <translation>MIDI-Port %1 verschwand beim %2 - Übertragung abgebrochen</translation>
    </message>
    <message>
        <source>replies came from Tarvik that this program did not ask for (another program is talking to Tarvik); what Tarvik holds may have changed</source>
        <translation>von Tarvik kamen Antworten, die dieses Programm nicht angefordert hat (ein anderes Programm spricht mit Tarvik); was Tarvik enthält, kann sich geändert haben</translation>
    </message>
    <message>
        <source>reply %1 from Tarvik ignored while the link is tested</source>
        <translation>Antwort %1 von Tarvik während des Verbindungstests ignoriert</translation>
    </message>
    <message>
        <source>late reply %1 from Tarvik to an earlier try - ignored</source>
        <translation>späte Antwort %1 vom Tarvik auf einen früheren Versuch - ignoriert</translation>
    </message>
    <message>
        <source>Tarvik confirmed the %1, but a command before went unanswered: what it holds is known once it is read again (connect)</source>
        <translation>Tarvik hat die %1 bestätigt, aber ein Befehl davor blieb unbeantwortet: was er hält, zeigt erst ein erneutes Lesen (Verbinden)</translation>
    </message>
    <message>
        <source>%1: no reply, try %2 of %3</source>
        <translation>%1: keine Antwort, Versuch %2 von %3</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::BackupCommand</name>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>backup written to %1</source>
        <translation>Sicherung nach %1 geschrieben</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::CliCommand</name>
    <message>
        <source>interrupted</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>cannot write to standard output</source>
        <translation>kann nicht auf die Standardausgabe schreiben</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::DeviceCommand</name>
    <message>
        <source>the link is busy</source>
        <translation>die Verbindung ist belegt</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::DiffCommand</name>
    <message>
        <source>warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::FlashCommand</name>
    <message>
        <source>its MD5 digest does not match its page lines</source>
        <translation>ihre MD5-Prüfsumme passt nicht zu ihren Seitenzeilen</translation>
    </message>
    <message>
        <source>%1 refused: %2</source>
        <translation>%1 abgelehnt: %2</translation>
    </message>
    <message>
        <source>downloading %1</source>
        <translation>%1 wird heruntergeladen</translation>
    </message>
    <message>
        <source>Tarvik is writing the firmware into flash; waiting for its confirmation</source>
        <translation>Tarvik schreibt die Firmware in den Flash; warte auf seine Bestätigung</translation>
    </message>
    <message>
        <source>interrupted; programming canceled, Tarvik was told to leave its bootloader</source>
        <translation>abgebrochen; Programmierung abgebrochen, Tarvik wurde angewiesen, seinen Bootloader zu verlassen</translation>
    </message>
    <message>
        <source>flashing %1 (%2 pages)</source>
        <translation>%1 wird aufgespielt (%2 Seiten)</translation>
    </message>
    <message>
        <source>firmware flashed: %1 pages verified and written; Tarvik reboots</source>
        <translation>Firmware aufgespielt: %1 Seiten geprüft und geschrieben; Tarvik startet neu</translation>
    </message>
    <message>
        <source>page %1 read back differently; programming canceled, Tarvik was told to leave its bootloader</source>
        <translation>Seite %1 wurde abweichend zurückgelesen; Programmierung abgebrochen, Tarvik wurde angewiesen, seinen Bootloader zu verlassen</translation>
    </message>
    <message>
        <source>MIDI port %1 vanished during the firmware update; Tarvik may still be in its bootloader: flash again</source>
        <translation>MIDI-Port %1 verschwand während des Firmware-Updates; Tarvik ist womöglich noch in seinem Bootloader: erneut aufspielen</translation>
    </message>
    <message>
        <source>no backup of the setup could be taken (%1); nothing was flashed (--no-backup flashes without one)</source>
        <translation>keine Sicherung des Setups möglich (%1); nichts wurde aufgespielt (--no-backup spielt ohne Sicherung auf)</translation>
    </message>
    <message>
        <source>backup before the firmware update: %1</source>
        <translation>Sicherung vor dem Firmware-Update: %1</translation>
    </message>
    <message>
        <source>backing up the setup before firmware %1</source>
        <translation>Setup wird vor Firmware %1 gesichert</translation>
    </message>
    <message>
        <source>the update server cannot be reached: the program&apos;s module %1 could not be loaded (%2)</source>
        <translation>der Update-Server ist nicht erreichbar: Das Modul %1 des Programms konnte nicht geladen werden (%2)</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::LibraryCommand</name>
    <message>
        <source>library: that command needs the device</source>
        <translation>library: dieser Befehl braucht das Gerät</translation>
    </message>
    <message>
        <source>imported %1</source>
        <translation>%1 importiert</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::LibraryStoreCommand</name>
    <message>
        <source>a setup named &quot;%1&quot; exists (--replace overwrites it)</source>
        <translation>ein Setup namens &quot;%1&quot; gibt es schon (--replace überschreibt es)</translation>
    </message>
    <message>
        <source>stored %1</source>
        <translation>%1 gespeichert</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::LinkTestCommand</name>
    <message>
        <source>warning: %1 of %2 replies lost: try another cable or USB port</source>
        <translation>Warnung: %1 von %2 Antworten verloren: Versuchen Sie ein anderes Kabel oder einen anderen USB-Port</translation>
    </message>
    <message>
        <source>warning: %1 of %2 replies lost: try --pace %3</source>
        <translation>Warnung: %1 von %2 Antworten verloren: Versuchen Sie --pace %3</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::LoopSwapCommand</name>
    <message>
        <source>loops %1 and %2 swapped on %3, written to %4</source>
        <translation>Loops %1 und %2 auf %3 getauscht, in %4 geschrieben</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::MonitorCommand</name>
    <message>
        <source>monitoring %1; Ctrl+C ends</source>
        <translation>überwache %1; Strg+C beendet</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::OntoSourceCommand</name>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::RestoreCommand</name>
    <message>
        <source>restore: identifying Tarvik</source>
        <translation>restore: Tarvik wird erkannt</translation>
    </message>
    <message>
        <source>restore: submitting presets, CC map and PC remap table</source>
        <translation>restore: Presets, CC-Zuordnung und PC-Umleitungstabelle werden übertragen</translation>
    </message>
    <message>
        <source>restore: submitting settings</source>
        <translation>restore: Einstellungen werden übertragen</translation>
    </message>
    <message>
        <source>restore: downloading everything to compare</source>
        <translation>restore: alles wird zum Vergleich heruntergeladen</translation>
    </message>
    <message>
        <source>restore failed: %1</source>
        <translation>Wiederherstellung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>restore verified: %1</source>
        <translation>Wiederherstellung geprüft: %1</translation>
    </message>
    <message>
        <source>standard input cannot be read</source>
        <translation>die Standardeingabe kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>standard input: %1</source>
        <translation>Standardeingabe: %1</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>Standardeingabe</translation>
    </message>
    <message>
        <source>restore verified (%1 tries): %2</source>
        <translation>Wiederherstellung geprüft (%1 Versuche): %2</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::SetListArrangeCommand</name>
    <message>
        <source>set &quot;%1&quot; arranged onto %2, written to %3</source>
        <translation>Set &quot;%1&quot; auf %2 angeordnet, nach %3 geschrieben</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::SetListCommand</name>
    <message>
        <source>%1 fields where SONG, SETUP and PRESET, separated by tabs, belong</source>
        <translation>%1 Felder, wo SONG, SETUP und PRESET, durch Tabulatoren getrennt, hingehören</translation>
    </message>
    <message>
        <source>the preset &quot;%1&quot; is not one of 1..%2</source>
        <translation>das Preset &quot;%1&quot; ist keines von 1..%2</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>setlist: that command needs a source</source>
        <translation>setlist: dieser Befehl braucht eine Quelle</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>Standardeingabe</translation>
    </message>
    <message>
        <source>no standard input</source>
        <translation>keine Standardeingabe</translation>
    </message>
    <message>
        <source>stored %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>set chart written to %1</source>
        <translation>Setliste nach %1 geschrieben</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no setup, and the set lists keep different copies of its preset %2</source>
        <translation>&quot;%1&quot; ist kein Setup, und die Setlisten bewahren verschiedene Kopien seines Presets %2 auf</translation>
    </message>
</context>
<context>
    <name>tarvik::cli::SheetCommand</name>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>setup sheet of %1 written to %2</source>
        <translation>Setupblatt von %1 nach %2 geschrieben</translation>
    </message>
</context>
</TS>
