<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="cs_CZ">
<context>
    <name>Acpu::Connection</name>
    <message>
        <source>The machine did not accept the connection within %1 s.</source>
        <translation>Stroj nepřijal spojení do %1 s.</translation>
    </message>
</context>
<context>
    <name>Acpu::ModbusConnection</name>
    <message>
        <source>The connection to the machine was closed.</source>
        <translation>Spojení se strojem bylo ukončeno.</translation>
    </message>
    <message>
        <source>The machine answered a different request.</source>
        <translation>Stroj odpověděl na jiný požadavek.</translation>
    </message>
    <message>
        <source>The machine refused the connection: %1</source>
        <translation>Stroj odmítl spojení: %1</translation>
    </message>
    <message>
        <source>The request could not be sent.</source>
        <translation>Požadavek nebylo možné odeslat.</translation>
    </message>
    <message>
        <source>The machine did not complete its response.</source>
        <translation>Stroj nedokončil svou odpověď.</translation>
    </message>
    <message>
        <source>Not connected to the machine.</source>
        <translation>Nejste připojeni ke stroji.</translation>
    </message>
    <message>
        <source>Variables %1 to %2 are beyond the Modbus address range.</source>
        <translation>Proměnné %1 až %2 leží mimo rozsah adres Modbus.</translation>
    </message>
</context>
<context>
    <name>Acpu::WsConnection</name>
    <message>
        <source>The connection to the relay service was closed.</source>
        <translation>Spojení s přenosovou službou bylo ukončeno.</translation>
    </message>
    <message>
        <source>The connection to the relay service was lost.</source>
        <translation>Spojení s přenosovou službou bylo ztraceno.</translation>
    </message>
    <message>
        <source>The relay service did not answer the panel refresh.</source>
        <translation>Přenosová služba neodpověděla na obnovení panelu.</translation>
    </message>
    <message>
        <source>The machine did not answer the panel refresh.</source>
        <translation>Stroj neodpověděl na obnovení panelu.</translation>
    </message>
    <message>
        <source>The relay service sent a message larger than %1 KiB.</source>
        <translation>Přenosová služba poslala zprávu větší než %1 KiB.</translation>
    </message>
    <message>
        <source>The relay service closed the connection: %1</source>
        <translation>Přenosová služba ukončila spojení: %1</translation>
    </message>
</context>
<context>
    <name>Appcast</name>
    <message>
        <source>It is larger than %1 bytes.</source>
        <translation>Je větší než %1 bajtů.</translation>
    </message>
    <message>
        <source>It is not JSON: %1</source>
        <translation>Nejde o JSON: %1</translation>
    </message>
    <message>
        <source>It is not a JSON object.</source>
        <translation>Nejde o objekt JSON.</translation>
    </message>
    <message>
        <source>It has no &quot;updates&quot; object.</source>
        <translation>Neobsahuje objekt &quot;updates&quot;.</translation>
    </message>
    <message>
        <source>It has no entry for the platform &quot;%1&quot;.</source>
        <translation>Neobsahuje záznam pro platformu &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Its &quot;latest-version&quot; is not a version number.</source>
        <translation>Hodnota &quot;latest-version&quot; není číslo verze.</translation>
    </message>
    <message>
        <source>Its &quot;open-url&quot; is not a web address.</source>
        <translation>Hodnota &quot;open-url&quot; není webová adresa.</translation>
    </message>
    <message>
        <source>Its &quot;sha256&quot; is not a SHA-256 checksum.</source>
        <translation>Hodnota &quot;sha256&quot; není kontrolní součet SHA-256.</translation>
    </message>
</context>
<context>
    <name>BackupCreator</name>
    <message>
        <source>Backup Completed</source>
        <translation>Záloha dokončena</translation>
    </message>
    <message>
        <source>Backup Failed</source>
        <translation>Záloha se nezdařila</translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation>Soubory záloh (*.vrk)</translation>
    </message>
    <message>
        <source>Backup was created successfully.</source>
        <translation>Záloha byla úspěšně vytvořena.</translation>
    </message>
    <message>
        <source>Save Backup File</source>
        <translation>Uložit soubor zálohy</translation>
    </message>
    <message>
        <source>There was an error saving the backup file.</source>
        <translation>Při ukládání souboru zálohy došlo k chybě.</translation>
    </message>
</context>
<context>
    <name>BackupFile</name>
    <message>
        <source>The file is larger than %1 bytes; no backup file is that large.</source>
        <translation>Soubor je větší než %1 bajtů; tak velký soubor zálohy neexistuje.</translation>
    </message>
    <message>
        <source>Error: %1 on position %2</source>
        <translation>Chyba: %1 na pozici %2</translation>
    </message>
    <message>
        <source>Section %1 holds the number %2, which is beyond the range of a machine value.</source>
        <translation>Oddíl %1 obsahuje číslo %2, které je mimo rozsah hodnoty stroje.</translation>
    </message>
    <message>
        <source>Validation error #%1</source>
        <translation>Chyba ověření č. %1</translation>
    </message>
    <message>
        <source>context: %1</source>
        <translation>kontext: %1</translation>
    </message>
    <message>
        <source>desc: %1</source>
        <translation>popis: %1</translation>
    </message>
    <message>
        <source>A member name is %1 characters long; backup files use at most %2, so the file was not validated.</source>
        <translation>Název položky má %1 znaků; soubory záloh používají nejvýše %2, proto soubor nebyl ověřen.</translation>
    </message>
    <message>
        <source>Not a regular file (a pipe, a device or a directory); it was not opened.</source>
        <translation>Nejde o běžný soubor (je to roura, zařízení nebo adresář); nebyl otevřen.</translation>
    </message>
    <message>
        <source>Section %1 is malformed.</source>
        <translation>Oddíl %1 má chybnou strukturu.</translation>
    </message>
    <message>
        <source>The data model version %1 is not a whole number.</source>
        <translation>Verze datového modelu %1 není celé číslo.</translation>
    </message>
</context>
<context>
    <name>BackupImport</name>
    <message>
        <source>Error: %1 on position %2</source>
        <translation>Chyba: %1 na pozici %2</translation>
    </message>
    <message>
        <source>The file holds no backup: its content is not a JSON object.</source>
        <translation>Soubor neobsahuje zálohu: jeho obsah není objekt JSON.</translation>
    </message>
    <message>
        <source>Section %1 is not an array.</source>
        <translation>Oddíl %1 není pole.</translation>
    </message>
    <message>
        <source>Section %1 unknown.</source>
        <translation>Oddíl %1 je neznámý.</translation>
    </message>
    <message>
        <source>Section %1 missing or is not an array.</source>
        <translation>Oddíl %1 chybí nebo není pole.</translation>
    </message>
</context>
<context>
    <name>BackupRestorer</name>
    <message>
        <source>%1: %2: sent %3, read %4</source>
        <translation>%1: %2: odesláno %3, přečteno %4</translation>
    </message>
    <message>
        <source>Backup Model Mismatch</source>
        <translation>Neshoda modelu zálohy</translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation>Soubory záloh (*.vrk)</translation>
    </message>
    <message>
        <source>Backup is for different machine.
Backup source: %1
Current machine: %2
Do you wish to proceed?</source>
        <translation>Záloha je pro jiný stroj.
Zdroj zálohy: %1
Aktuální stroj: %2
Chcete pokračovat?</translation>
    </message>
    <message>
        <source>Backup was restored successfully.</source>
        <translation>Záloha byla úspěšně obnovena.</translation>
    </message>
    <message>
        <source>Values the backup file holds empty or out of range, left as the machine has them: %1.</source>
        <translation>Hodnoty, které soubor zálohy má prázdné nebo mimo rozsah, zůstaly ve stroji beze změny: %1.</translation>
    </message>
    <message>
        <source>Open Backup File</source>
        <translation>Otevřít soubor zálohy</translation>
    </message>
    <message>
        <source>Restore Completed</source>
        <translation>Obnovení dokončeno</translation>
    </message>
    <message>
        <source>Restore Failed</source>
        <translation>Obnovení se nezdařilo</translation>
    </message>
    <message>
        <source>Restore Not Verified</source>
        <translation>Obnovení nebylo ověřeno</translation>
    </message>
    <message>
        <source>Safety Copy Failed</source>
        <translation>Bezpečnostní kopie se nezdařila</translation>
    </message>
    <message>
        <source>The backup file holds none of the parameters that are restored.</source>
        <translation>Soubor zálohy neobsahuje žádné z obnovovaných parametrů.</translation>
    </message>
    <message>
        <source>The backup was written, but %1 of the values read back from the machine differ from what was sent.</source>
        <translation>Záloha byla zapsána, ale %1 z hodnot zpětně přečtených ze stroje se liší od odeslaných.</translation>
    </message>
    <message>
        <source>The machine&apos;s current values could not be saved before the restore.
Restore the backup anyway?</source>
        <translation>Aktuální hodnoty stroje se před obnovením nepodařilo uložit.
Přesto zálohu obnovit?</translation>
    </message>
    <message>
        <source>The values before the restore were saved in %1.</source>
        <translation>Hodnoty před obnovením byly uloženy do %1.</translation>
    </message>
    <message>
        <source>There was an error loading the backup file.</source>
        <translation>Při načítání souboru zálohy došlo k chybě.</translation>
    </message>
</context>
<context>
    <name>BackupWriter</name>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation>Složku %1 nelze vytvořit.</translation>
    </message>
    <message>
        <source>Every value was written; reading them back for the check failed.</source>
        <translation>Všechny hodnoty byly zapsány; jejich zpětné načtení pro kontrolu selhalo.</translation>
    </message>
    <message>
        <source>%1 (in part)</source>
        <translation>%1 (zčásti)</translation>
    </message>
    <message>
        <source>Nothing was written to the machine.</source>
        <translation>Do stroje nebylo nic zapsáno.</translation>
    </message>
    <message>
        <source>Written before the error: %1.</source>
        <translation>Před chybou bylo zapsáno: %1.</translation>
    </message>
    <message>
        <source>Not written: %1.</source>
        <translation>Nezapsáno: %1.</translation>
    </message>
</context>
<context>
    <name>Coordsys</name>
    <message>
        <source>G54 - G59</source>
        <translation>G54 - G59</translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Aktualizace</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Stahování aktualizací</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Zbývající čas: 0 minut</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otevřít</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Zastavit</translation>
    </message>
    <message>
        <source>Time remaining: %1</source>
        <translation>Zbývající čas: %1</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>neznámý</translation>
    </message>
    <message>
        <source>Downloading Updates ...</source>
        <translation>Stahování aktualizací ...</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>Downloading updates (%1 of %2)</source>
        <translation>Stahování aktualizací (%1 z %2)</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>asi %1 h</translation>
    </message>
    <message>
        <source>about one hour</source>
        <translation>asi hodina</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minuta</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 sekunda</translation>
    </message>
    <message>
        <source>The update could not be downloaded.</source>
        <translation>Aktualizaci se nepodařilo stáhnout.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zavřít</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Stahování dokončeno!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Instalační program se otevře samostatně</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Klepnutím na &quot;OK&quot; zahájíte instalaci aktualizace</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>K instalaci aktualizace může být nutné ukončit aplikaci. Jde o povinnou aktualizaci, odmítnutím se aplikace ukončí</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>K instalaci aktualizace může být nutné ukončit aplikaci.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Aktualizaci použijete tlačítkem &quot;Otevřít&quot;</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Chyba</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Stažená aktualizace nebyla nalezena!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Opravdu chcete stahování zrušit? Jde o povinnou aktualizaci, zrušením se aplikace ukončí</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Opravdu chcete stahování zrušit?</translation>
    </message>
</context>
<context>
    <name>FileViewer</name>
    <message>
        <source>Backup File Editor</source>
        <translation>Editor souborů záloh</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Export</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Okno</translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation>Nápo&amp;věda</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standardní</translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation>&amp;Nový...</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Otevřít...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Uložit</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Uložit</translation>
    </message>
    <message>
        <source>Sa&amp;ve as...</source>
        <translation>Uložit &amp;jako...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zavřít</translation>
    </message>
    <message>
        <source>Select data model...</source>
        <translation>Vybrat datový model...</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Importovat...</translation>
    </message>
    <message>
        <source>Import v. 5 backup...</source>
        <translation>Importovat zálohu verze 5...</translation>
    </message>
    <message>
        <source>Everything without teeth...</source>
        <translation>Vše kromě zubů...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Konec</translation>
    </message>
    <message>
        <source>Show only active parameters</source>
        <translation>Zobrazit jen aktivní parametry</translation>
    </message>
    <message>
        <source>&amp;Multiple windows mode</source>
        <translation>Režim &amp;více oken</translation>
    </message>
    <message>
        <source>Ti&amp;le</source>
        <translation>&amp;Dlaždice</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Kaskáda</translation>
    </message>
    <message>
        <source>C&amp;olumns</source>
        <translation>&amp;Sloupce</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;O programu...</translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation>O &amp;Qt...</translation>
    </message>
    <message>
        <source>&amp;Check for updates...</source>
        <translation>&amp;Zkontrolovat aktualizace...</translation>
    </message>
    <message>
        <source>(unnamed)</source>
        <translation>(bez názvu)</translation>
    </message>
    <message>
        <source>Backup File Editor :: %1[*] (%2)</source>
        <translation>Editor souborů záloh :: %1[*] (%2)</translation>
    </message>
    <message>
        <source>Backup File Error</source>
        <translation>Chyba souboru zálohy</translation>
    </message>
    <message>
        <source>There was an error loading the backup file.</source>
        <translation>Při načítání souboru zálohy došlo k chybě.</translation>
    </message>
    <message>
        <source>Open Backup File</source>
        <translation>Otevřít soubor zálohy</translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation>Soubory záloh (*.vrk)</translation>
    </message>
    <message>
        <source>There was an error saving the backup file.</source>
        <translation>Při ukládání souboru zálohy došlo k chybě.</translation>
    </message>
    <message>
        <source>Save Backup File</source>
        <translation>Uložit soubor zálohy</translation>
    </message>
    <message>
        <source>Backup files (*.cvrk)</source>
        <translation>Soubory záloh verze 5 (*.cvrk)</translation>
    </message>
    <message>
        <source>Unsupported backup data.</source>
        <translation>Nepodporovaná data zálohy.</translation>
    </message>
    <message>
        <source>Import Completed</source>
        <translation>Import dokončen</translation>
    </message>
    <message>
        <source>Import completed. Following parameters were not imported and must be checked:</source>
        <translation>Import byl dokončen. Následující parametry nebyly importovány a je nutné je zkontrolovat:</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Uložit změny</translation>
    </message>
    <message>
        <source>You have unsaved changes. Do you want to save them before closing?</source>
        <translation>Máte neuložené změny. Chcete je před zavřením uložit?</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>O Qt</translation>
    </message>
</context>
<context>
    <name>HostnameDialog</name>
    <message>
        <source>Select target machine</source>
        <translation>Výběr cílového stroje</translation>
    </message>
    <message>
        <source>Enter IP address or hostname:</source>
        <translation>Zadejte IP adresu nebo název počítače:</translation>
    </message>
    <message>
        <source>Machines found on network:</source>
        <translation>Stroje nalezené v síti:</translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation>Chyba komunikace</translation>
    </message>
    <message>
        <source>There was an error in communication with the machine.</source>
        <translation>Při komunikaci se strojem došlo k chybě.</translation>
    </message>
</context>
<context>
    <name>HttpTransfer</name>
    <message>
        <source>The transfer did not end within %1 s.</source>
        <translation>Přenos neskončil do %1 s.</translation>
    </message>
    <message>
        <source>The transfer stalled: no data arrived for %1 s.</source>
        <translation>Přenos se zastavil: %1 s nepřišla žádná data.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Nelze zapsat %1: %2</translation>
    </message>
    <message>
        <source>The update information gives no address to download from.</source>
        <translation>Informace o aktualizaci neuvádí adresu ke stažení.</translation>
    </message>
    <message>
        <source>Refused the address &quot;%1&quot;: only HTTPS is allowed.</source>
        <translation>Adresa &quot;%1&quot; byla odmítnuta: povolen je jen HTTPS.</translation>
    </message>
    <message>
        <source>The transfer was cancelled.</source>
        <translation>Přenos byl zrušen.</translation>
    </message>
    <message>
        <source>Too many redirects (more than %1).</source>
        <translation>Příliš mnoho přesměrování (více než %1).</translation>
    </message>
    <message>
        <source>Refused the redirect to &quot;%1&quot;.</source>
        <translation>Přesměrování na &quot;%1&quot; bylo odmítnuto.</translation>
    </message>
    <message>
        <source>The transfer is larger than the %1 allowed.</source>
        <translation>Přenos je větší než povolených %1.</translation>
    </message>
    <message>
        <source>The server answered %1 %2.</source>
        <translation>Server odpověděl %1 %2.</translation>
    </message>
    <message>
        <source>The transfer ended after %1 of %2 bytes.</source>
        <translation>Přenos skončil po %1 z %2 bajtů.</translation>
    </message>
    <message>
        <source>The downloaded file is damaged: its SHA-256 checksum does not match the update information.</source>
        <translation>Stažený soubor je poškozen: jeho kontrolní součet SHA-256 neodpovídá informacím o aktualizaci.</translation>
    </message>
    <message>
        <source>Cannot move %1 into place: %2</source>
        <translation>Soubor %1 nelze přesunout na místo: %2</translation>
    </message>
</context>
<context>
    <name>LiveEditor</name>
    <message>
        <source>%1: sent %2, read %3</source>
        <translation>%1: odesláno %2, přečteno %3</translation>
    </message>
    <message>
        <source>The window closes once the values are written.</source>
        <translation>Okno se zavře, jakmile budou hodnoty zapsány.</translation>
    </message>
    <message>
        <source>Values Not Taken</source>
        <translation>Hodnoty nepřijaty</translation>
    </message>
    <message>
        <source>The machine holds %1 of the written values otherwise than sent; they stay marked as edits.</source>
        <translation>Stroj má %1 ze zapsaných hodnot jinak, než byly odeslány; zůstávají označeny jako úpravy.</translation>
    </message>
    <message>
        <source>Open Backup File</source>
        <translation>Otevřít soubor zálohy</translation>
    </message>
    <message>
        <source>Discard Changes</source>
        <translation>Zahodit změny</translation>
    </message>
    <message>
        <source>Values edited but not written to the machine: %1.</source>
        <translation>Upravené hodnoty, které nejsou zapsány do stroje: %1.</translation>
    </message>
    <message>
        <source>Reading from the machine replaces them. Do you want to read anyway?</source>
        <translation>Čtení ze stroje je nahradí. Chcete přesto číst?</translation>
    </message>
    <message>
        <source>Communication error</source>
        <translation>Chyba komunikace</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Uložit změny</translation>
    </message>
    <message>
        <source>You have unsaved changes. Do you want to save them before closing?</source>
        <translation>Máte neuložené změny. Chcete je před zavřením uložit?</translation>
    </message>
    <message>
        <source>Backup File Error</source>
        <translation>Chyba souboru zálohy</translation>
    </message>
    <message>
        <source>There was an error loading the backup file.</source>
        <translation>Při načítání souboru zálohy došlo k chybě.</translation>
    </message>
    <message>
        <source>Backup does not contain %1.</source>
        <translation>Záloha neobsahuje %1.</translation>
    </message>
    <message>
        <source>Backup Model Mismatch</source>
        <translation>Nesoulad datového modelu zálohy</translation>
    </message>
    <message>
        <source>Backup is for different data model.
Backup source: %1
Current machine: %2
Do you wish to proceed?</source>
        <translation>Záloha je pro jiný datový model.
Zdroj zálohy: %1
Aktuální stroj: %2
Chcete pokračovat?</translation>
    </message>
    <message>
        <source>There was an error saving the backup file.</source>
        <translation>Při ukládání souboru zálohy došlo k chybě.</translation>
    </message>
</context>
<context>
    <name>Machine</name>
    <message>
        <source>S/N: %1</source>
        <translation>V. č.: %1</translation>
    </message>
    <message>
        <source>SW: %1</source>
        <translation>SW: %1</translation>
    </message>
</context>
<context>
    <name>MachineDescription</name>
    <message>
        <source>Unknown</source>
        <translation>Neznámý</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Machine Job Running</source>
        <translation>Práce se strojem běží</translation>
    </message>
    <message>
        <source>A backup, restore or program upload is still working with the machine. Close the window when it has ended.</source>
        <translation>Záloha, obnova nebo nahrávání programu ještě pracuje se strojem. Zavřete okno, až skončí.</translation>
    </message>
    <message>
        <source>Another Machine</source>
        <translation>Jiný stroj</translation>
    </message>
    <message>
        <source>The machine at %1 is now %2 %3, no longer %4.</source>
        <translation>Stroj na adrese %1 je nyní %2 %3, už ne %4.</translation>
    </message>
    <message>
        <source>Parameter editors opened before still show the former machine&apos;s parameters: close them and open them again.</source>
        <translation>Dříve otevřené editory parametrů ukazují parametry předchozího stroje: zavřete je a otevřete znovu.</translation>
    </message>
    <message>
        <source>%1 Remote Display :: %2 (%3)</source>
        <translation>%1 Vzdálený displej :: %2 (%3)</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Shift</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Chod</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Chyba</translation>
    </message>
    <message>
        <source>Step by step</source>
        <translation>Krokování</translation>
    </message>
    <message>
        <source>Continual</source>
        <translation>Plynule</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Neznámý</translation>
    </message>
    <message>
        <source>Ins</source>
        <translation>Ins</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Úpravy</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Nástroje</translation>
    </message>
    <message>
        <source>Setti&amp;ngs</source>
        <translation>&amp;Nastavení</translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation>Nápo&amp;věda</translation>
    </message>
    <message>
        <source>&amp;Load Program...</source>
        <translation>Nahrát &amp;program...</translation>
    </message>
    <message>
        <source>Upload Program</source>
        <translation>Nahrát program</translation>
    </message>
    <message>
        <source>&amp;Create Backup...</source>
        <translation>&amp;Vytvořit zálohu...</translation>
    </message>
    <message>
        <source>&amp;Restore Backup...</source>
        <translation>&amp;Obnovit zálohu...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Konec</translation>
    </message>
    <message>
        <source>&amp;Technological Parameters...</source>
        <translation>&amp;Technologické parametry...</translation>
    </message>
    <message>
        <source>&amp;R Parameters...</source>
        <translation>&amp;R parametry...</translation>
    </message>
    <message>
        <source>&amp;G54 - G59...</source>
        <translation>&amp;G54 - G59...</translation>
    </message>
    <message>
        <source>Tools &amp;Parameters...</source>
        <translation>&amp;Parametry nástrojů...</translation>
    </message>
    <message>
        <source>T&amp;eeth Parameters...</source>
        <translation>Parametry &amp;zubů...</translation>
    </message>
    <message>
        <source>Trajectory Draw</source>
        <translation>Kreslení trajektorie</translation>
    </message>
    <message>
        <source>&amp;Clear Host History</source>
        <translation>&amp;Vymazat historii adres</translation>
    </message>
    <message>
        <source>&amp;Reset Windows Settings</source>
        <translation>&amp;Obnovit výchozí nastavení oken</translation>
    </message>
    <message>
        <source>Reset windows settings</source>
        <translation>Obnovit výchozí nastavení oken</translation>
    </message>
    <message>
        <source>Zoom Window</source>
        <translation>Zvětšit okno</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;O programu...</translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation>O &amp;Qt...</translation>
    </message>
    <message>
        <source>&amp;Check for Updates...</source>
        <translation>&amp;Vyhledat aktualizace...</translation>
    </message>
    <message>
        <source>Application started...</source>
        <translation>Aplikace spuštěna...</translation>
    </message>
    <message>
        <source>Communication error: %2 - %1</source>
        <translation>Chyba komunikace: %2 - %1</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>O Qt</translation>
    </message>
</context>
<context>
    <name>MdnsTableModel</name>
    <message>
        <source>Machine name</source>
        <translation>Název stroje</translation>
    </message>
    <message>
        <source>Host name</source>
        <translation>Název počítače</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP adresa</translation>
    </message>
    <message>
        <source>Machine description</source>
        <translation>Popis stroje</translation>
    </message>
</context>
<context>
    <name>MdnsTableView</name>
    <message>
        <source>Copy IP address</source>
        <translation>Kopírovat IP adresu</translation>
    </message>
    <message>
        <source>Copy host name</source>
        <translation>Kopírovat název počítače</translation>
    </message>
    <message>
        <source>Open web console</source>
        <translation>Otevřít webovou konzoli</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>and %1 more</source>
        <translation>a dalších %1</translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation>Chyba komunikace</translation>
    </message>
    <message>
        <source>Please Wait</source>
        <translation>Čekejte prosím</translation>
    </message>
    <message>
        <source>Writing data...</source>
        <translation>Zapisuji data...</translation>
    </message>
    <message>
        <source>Reading data...</source>
        <translation>Čtu data...</translation>
    </message>
    <message>
        <source>Connection with the machine is broken.</source>
        <translation>Spojení se strojem je přerušeno.</translation>
    </message>
    <message>
        <source>There was an error writing data to the machine.</source>
        <translation>Při zápisu dat do stroje došlo k chybě.</translation>
    </message>
    <message>
        <source>There was an error reading data from the machine.</source>
        <translation>Při čtení dat ze stroje došlo k chybě.</translation>
    </message>
    <message>
        <source>Save Backup File</source>
        <translation>Uložit soubor zálohy</translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation>Soubory záloh (*.vrk)</translation>
    </message>
</context>
<context>
    <name>ModelItem</name>
    <message>
        <source>Inactive</source>
        <translation>Neaktivní</translation>
    </message>
    <message>
        <source>Machine mismatch</source>
        <translation>Nepatří ke stroji</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktivní</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Zakázáno</translation>
    </message>
</context>
<context>
    <name>ModelVersionDialog</name>
    <message>
        <source>Select Data Model</source>
        <translation>Výběr datového modelu</translation>
    </message>
    <message>
        <source>Machine type:</source>
        <translation>Typ stroje:</translation>
    </message>
    <message>
        <source>Model version:</source>
        <translation>Verze modelu:</translation>
    </message>
    <message>
        <source>Known versions:</source>
        <translation>Známé verze:</translation>
    </message>
</context>
<context>
    <name>ParameterTable</name>
    <message>
        <source>Axis %1</source>
        <translation>Osa %1</translation>
    </message>
</context>
<context>
    <name>ParametersEditor</name>
    <message>
        <source>%1[*] :: %2 %3 (%4)</source>
        <translation>%1[*] :: %2 %3 (%4)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Zobrazit</translation>
    </message>
    <message>
        <source>&amp;Load backup...</source>
        <translation>&amp;Načíst zálohu...</translation>
    </message>
    <message>
        <source>Load backup from file</source>
        <translation>Načíst zálohu ze souboru</translation>
    </message>
    <message>
        <source>&amp;Save backup...</source>
        <translation>&amp;Uložit zálohu...</translation>
    </message>
    <message>
        <source>Save backup to file</source>
        <translation>Uložit zálohu do souboru</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zavřít</translation>
    </message>
    <message>
        <source>Close window</source>
        <translation>Zavřít okno</translation>
    </message>
    <message>
        <source>Every 1&amp;s</source>
        <translation>Každou 1 &amp;s</translation>
    </message>
    <message>
        <source>Automatic refresh every 1s</source>
        <translation>Automatické obnovení každou 1 s</translation>
    </message>
    <message>
        <source>Every 100&amp;ms</source>
        <translation>Každých 100 &amp;ms</translation>
    </message>
    <message>
        <source>Automatic refresh every 100ms</source>
        <translation>Automatické obnovení každých 100 ms</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Obnovit</translation>
    </message>
    <message>
        <source>Refresh now</source>
        <translation>Obnovit nyní</translation>
    </message>
    <message>
        <source>Show only active parameters</source>
        <translation>Zobrazit pouze aktivní parametry</translation>
    </message>
</context>
<context>
    <name>ProgramSender</name>
    <message>
        <source>The file holds %1 bytes; programs of at most %2 bytes (16 MiB) are sent.</source>
        <translation>Soubor má %1 bajtů; odesílají se programy nejvýše o %2 bajtech (16 MiB).</translation>
    </message>
    <message>
        <source>The file holds more than %1 bytes (16 MiB), the most that is sent.</source>
        <translation>Soubor má více než %1 bajtů (16 MiB), což je nejvíc, co se odesílá.</translation>
    </message>
    <message>
        <source>The file holds four zero bytes at byte %1; the machine would end the program there.</source>
        <translation>Soubor obsahuje čtyři nulové bajty na bajtu %1; stroj by tam program ukončil.</translation>
    </message>
</context>
<context>
    <name>ProgramUploader</name>
    <message>
        <source>CNC files (*.cnc);;All files (*.*)</source>
        <translation>Soubory CNC (*.cnc);;Všechny soubory (*.*)</translation>
    </message>
    <message>
        <source>Error code: %1</source>
        <translation>Kód chyby: %1</translation>
    </message>
    <message>
        <source>Machine is not ready for program upload.</source>
        <translation>Stroj není připraven na nahrání programu.</translation>
    </message>
    <message>
        <source>Open CNC Program File</source>
        <translation>Otevřít soubor programu CNC</translation>
    </message>
    <message>
        <source>Program Upload Failed</source>
        <translation>Nahrání programu se nezdařilo</translation>
    </message>
    <message>
        <source>Program Upload Finished</source>
        <translation>Nahrání programu dokončeno</translation>
    </message>
    <message>
        <source>Program was uploaded successfully.</source>
        <translation>Program byl úspěšně nahrán.</translation>
    </message>
    <message>
        <source>Result code: %1</source>
        <translation>Kód výsledku: %1</translation>
    </message>
    <message>
        <source>The program file is larger than 16 MiB, the largest program that is sent.</source>
        <translation>Soubor programu je větší než 16 MiB, největší program, který se odesílá.</translation>
    </message>
    <message>
        <source>There was an error loading the program file.</source>
        <translation>Při načítání souboru programu došlo k chybě.</translation>
    </message>
    <message>
        <source>There was an error uploading the program.</source>
        <translation>Při nahrávání programu došlo k chybě.</translation>
    </message>
    <message>
        <source>There was an unexpected problem uploading the program.</source>
        <translation>Při nahrávání programu nastal neočekávaný problém.</translation>
    </message>
</context>
<context>
    <name>QTableViewClipboard</name>
    <message>
        <source>&quot;%1&quot; is not a number the machine can hold; the value is unchanged. Decimals are written with a point, as in 1.5.</source>
        <translation>„%1“ není číslo, které stroj může uložit; hodnota zůstává beze změny. Desetinnou část oddělte tečkou, například 1.5.</translation>
    </message>
    <message>
        <source>Paste Error</source>
        <translation>Chyba vložení</translation>
    </message>
    <message>
        <source>Invalid clipboard data, unable to perform paste operation.</source>
        <translation>Neplatná data ve schránce, vložení nelze provést.</translation>
    </message>
    <message>
        <source>The table cannot be edited at the moment (it may be refreshing automatically), so nothing was pasted.</source>
        <translation>Tabulku teď nelze upravovat (možná se automaticky obnovuje), proto nebylo nic vloženo.</translation>
    </message>
</context>
<context>
    <name>RParameters</name>
    <message>
        <source>R Parameters</source>
        <translation>R parametry</translation>
    </message>
</context>
<context>
    <name>TableModel</name>
    <message>
        <source>No number: the machine holds no valid value here. It is not written to the machine unless you enter a number.</source>
        <translation>Není číslo: stroj zde nemá platnou hodnotu. Do stroje se nezapíše, dokud nezadáte číslo.</translation>
    </message>
</context>
<context>
    <name>TableModel1D</name>
    <message>
        <source>Value</source>
        <translation>Hodnota</translation>
    </message>
</context>
<context>
    <name>TechParameters</name>
    <message>
        <source>(unused)</source>
        <translation>(nepoužito)</translation>
    </message>
    <message>
        <source>Technological Parameters</source>
        <translation>Technologické parametry</translation>
    </message>
</context>
<context>
    <name>Teeth</name>
    <message>
        <source>P01 - Pitch of teeth</source>
        <translation>P01 - Rozteč zubů</translation>
    </message>
    <message>
        <source>P02 - Depth of tooth</source>
        <translation>P02 - Hloubka zubu</translation>
    </message>
    <message>
        <source>P03 - Face angle</source>
        <translation>P03 - Úhel čela</translation>
    </message>
    <message>
        <source>P04 - Face length</source>
        <translation>P04 - Délka čela</translation>
    </message>
    <message>
        <source>P05 - Radius 1</source>
        <translation>P05 - Poloměr 1</translation>
    </message>
    <message>
        <source>P06 - Gap length</source>
        <translation>P06 - Délka mezery</translation>
    </message>
    <message>
        <source>P07 - Radius 2</source>
        <translation>P07 - Poloměr 2</translation>
    </message>
    <message>
        <source>P08 - Radius 3</source>
        <translation>P08 - Poloměr 3</translation>
    </message>
    <message>
        <source>P09 - Back length</source>
        <translation>P09 - Délka hřbetu</translation>
    </message>
    <message>
        <source>P10 - Back angle</source>
        <translation>P10 - Úhel hřbetu</translation>
    </message>
    <message>
        <source>P11 - Method</source>
        <translation>P11 - Metoda</translation>
    </message>
    <message>
        <source>P12 - Saw blade diameter</source>
        <translation>P12 - Průměr pilového kotouče</translation>
    </message>
    <message>
        <source>P13 - Height difference</source>
        <translation>P13 - Výškový rozdíl</translation>
    </message>
    <message>
        <source>P14 - Enable height difference</source>
        <translation>P14 - Povolit výškový rozdíl</translation>
    </message>
    <message>
        <source>P15 - Height difference</source>
        <translation>P15 - Výškový rozdíl</translation>
    </message>
    <message>
        <source>P16 - Length difference</source>
        <translation>P16 - Délkový rozdíl</translation>
    </message>
    <message>
        <source>P17 - Radius 4</source>
        <translation>P17 - Poloměr 4</translation>
    </message>
    <message>
        <source>P18 - Laeppfase</source>
        <translation>P18 - Lapovací fazeta</translation>
    </message>
    <message>
        <source>P19 - Lead in/out</source>
        <translation>P19 - Najetí/vyjetí</translation>
    </message>
    <message>
        <source>P20 - Feed profile</source>
        <translation>P20 - Profil posuvu</translation>
    </message>
    <message>
        <source>P21 - Number of teeth</source>
        <translation>P21 - Počet zubů</translation>
    </message>
    <message>
        <source>P22 - Number of cycles</source>
        <translation>P22 - Počet cyklů</translation>
    </message>
    <message>
        <source>P23 - Step in X</source>
        <translation>P23 - Krok v X</translation>
    </message>
    <message>
        <source>P24 - Step in Z</source>
        <translation>P24 - Krok v Z</translation>
    </message>
    <message>
        <source>P25 - Opr. speed [mm/min]</source>
        <translation>P25 - Prac. rychlost [mm/min]</translation>
    </message>
    <message>
        <source>P26 - Faster</source>
        <translation>P26 - Rychleji</translation>
    </message>
    <message>
        <source>P27 - Cooling (0/1)</source>
        <translation>P27 - Chlazení (0/1)</translation>
    </message>
    <message>
        <source>P28 - Tool radius</source>
        <translation>P28 - Poloměr nástroje</translation>
    </message>
    <message>
        <source>P29 - Grinding [m/s]</source>
        <translation>P29 - Broušení [m/s]</translation>
    </message>
    <message>
        <source>P30 - First face missing</source>
        <translation>P30 - Chybí první čelo</translation>
    </message>
    <message>
        <source>P31 - Tool radius 2</source>
        <translation>P31 - Poloměr nástroje 2</translation>
    </message>
    <message>
        <source>P32 - Body thickness</source>
        <translation>P32 - Tloušťka tělesa</translation>
    </message>
    <message>
        <source>P33 - Cutting kerf</source>
        <translation>P33 - Šířka řezu</translation>
    </message>
    <message>
        <source>P34 - Program number %N..</source>
        <translation>P34 - Číslo programu %N..</translation>
    </message>
    <message>
        <source>P35 - Chamfering method</source>
        <translation>P35 - Metoda sražení hran</translation>
    </message>
    <message>
        <source>P36 - Chamfering width</source>
        <translation>P36 - Šířka sražení</translation>
    </message>
    <message>
        <source>P37 - Chamfering depth</source>
        <translation>P37 - Hloubka sražení</translation>
    </message>
    <message>
        <source>P38 - Step length</source>
        <translation>P38 - Délka kroku</translation>
    </message>
    <message>
        <source>P39 - Step count</source>
        <translation>P39 - Počet kroků</translation>
    </message>
    <message>
        <source>P40 - Upper angle</source>
        <translation>P40 - Horní úhel</translation>
    </message>
    <message>
        <source>P41 - Lower angle</source>
        <translation>P41 - Dolní úhel</translation>
    </message>
    <message>
        <source>P42 - Step in Y</source>
        <translation>P42 - Krok v Y</translation>
    </message>
    <message>
        <source>P43 - Radius 4</source>
        <translation>P43 - Poloměr 4</translation>
    </message>
    <message>
        <source>P44 - Radius 5</source>
        <translation>P44 - Poloměr 5</translation>
    </message>
    <message>
        <source>P45 - Winter tooth width</source>
        <translation>P45 - Šířka zimního zubu</translation>
    </message>
    <message>
        <source>P46 - Winter tooth depth</source>
        <translation>P46 - Hloubka zimního zubu</translation>
    </message>
    <message>
        <source>P47 - Winter tooth cycles</source>
        <translation>P47 - Cykly zimního zubu</translation>
    </message>
    <message>
        <source>P48 - Stone tip R1R2</source>
        <translation>P48 - Špička kotouče R1R2</translation>
    </message>
    <message>
        <source>P49 - Stone thickness</source>
        <translation>P49 - Tloušťka kotouče</translation>
    </message>
    <message>
        <source>P50 - Stone tip in angle</source>
        <translation>P50 - Vstupní úhel špičky kotouče</translation>
    </message>
    <message>
        <source>P51 - Stone tip out angle</source>
        <translation>P51 - Výstupní úhel špičky kotouče</translation>
    </message>
    <message>
        <source>Tooth %1</source>
        <translation>Zub %1</translation>
    </message>
    <message>
        <source>(unused)</source>
        <translation>(nepoužito)</translation>
    </message>
    <message>
        <source>Teeth Parameters</source>
        <translation>Parametry zubů</translation>
    </message>
</context>
<context>
    <name>TeethEditor</name>
    <message>
        <source>%1[*] :: %2 %3 (%4)</source>
        <translation>%1[*] :: %2 %3 (%4)</translation>
    </message>
    <message>
        <source>Tooth shape:</source>
        <translation>Tvar zubu:</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Zobrazit</translation>
    </message>
    <message>
        <source>&amp;Load backup...</source>
        <translation>&amp;Načíst zálohu...</translation>
    </message>
    <message>
        <source>Load backup from file</source>
        <translation>Načíst zálohu ze souboru</translation>
    </message>
    <message>
        <source>&amp;Save backup...</source>
        <translation>&amp;Uložit zálohu...</translation>
    </message>
    <message>
        <source>Save backup to file</source>
        <translation>Uložit zálohu do souboru</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zavřít</translation>
    </message>
    <message>
        <source>Close window</source>
        <translation>Zavřít okno</translation>
    </message>
    <message>
        <source>Every 1&amp;s</source>
        <translation>Každou 1 &amp;s</translation>
    </message>
    <message>
        <source>Automatic refresh every 1s</source>
        <translation>Automatické obnovení každou 1 s</translation>
    </message>
    <message>
        <source>Every 100&amp;ms</source>
        <translation>Každých 100 &amp;ms</translation>
    </message>
    <message>
        <source>Automatic refresh every 100ms</source>
        <translation>Automatické obnovení každých 100 ms</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Obnovit</translation>
    </message>
    <message>
        <source>Refresh now</source>
        <translation>Obnovit nyní</translation>
    </message>
    <message>
        <source>Show only active parameters</source>
        <translation>Zobrazit pouze aktivní parametry</translation>
    </message>
</context>
<context>
    <name>TeethView</name>
    <message>
        <source>Tooth shape:</source>
        <translation>Tvar zubu:</translation>
    </message>
</context>
<context>
    <name>Tools</name>
    <message>
        <source>Tool T%1</source>
        <translation>Nástroj T%1</translation>
    </message>
    <message>
        <source>Tools Parameters</source>
        <translation>Parametry nástrojů</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>The update information could not be read.</source>
        <translation>Informace o aktualizaci nelze přečíst.</translation>
    </message>
    <message>
        <source>The update check failed.</source>
        <translation>Kontrola aktualizací selhala.</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Byla vydána verze %1 programu %2!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application</source>
        <translation>Chcete aktualizaci stáhnout hned? Jde o povinnou aktualizaci, odmítnutím se aplikace ukončí</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Chcete aktualizaci stáhnout hned?</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Momentálně nejsou k dispozici žádné aktualizace</translation>
    </message>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Gratulujeme! Používáte nejnovější verzi programu %1</translation>
    </message>
</context>
<context>
    <name>VersionDialog</name>
    <message>
        <source>not connected</source>
        <translation>nepřipojeno</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>O programu %1</translation>
    </message>
    <message>
        <source>&lt;h3&gt;%1 %2&lt;/h3&gt;&lt;br/&gt;Build ID: %3&lt;br/&gt;&amp;copy; %4 %5&lt;br/&gt;&lt;br/&gt;Connected machine: %7&lt;br/&gt;&lt;br/&gt;This program comes without any warranty. Check the machine&apos;s parameters before you run it.&lt;br/&gt;&lt;br/&gt;&lt;a href=&quot;%6&quot;&gt;Release info&lt;/a&gt;</source>
        <translation>&lt;h3&gt;%1 %2&lt;/h3&gt;&lt;br/&gt;ID sestavení: %3&lt;br/&gt;&amp;copy; %4 %5&lt;br/&gt;&lt;br/&gt;Připojený stroj: %7&lt;br/&gt;&lt;br/&gt;Tento program je poskytován bez jakékoli záruky. Před spuštěním zkontrolujte parametry stroje.&lt;br/&gt;&lt;br/&gt;&lt;a href=&quot;%6&quot;&gt;Informace o vydání&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>The settings cannot be saved to %1. Window positions and the host history will be forgotten when the program ends.</source>
        <translation>Nastavení nelze uložit do %1. Polohy oken a historie hostitelů budou po ukončení programu zapomenuty.</translation>
    </message>
    <message>
        <source>%1: there is no display to show a window on.</source>
        <translation>%1: není k dispozici displej, na kterém by se zobrazilo okno.</translation>
    </message>
    <message>
        <source>offline</source>
        <translation>offline</translation>
    </message>
    <message>
        <source>User interface language.</source>
        <translation>Jazyk uživatelského rozhraní.</translation>
    </message>
    <message>
        <source>Open backup file viewer.</source>
        <translation>Otevřít prohlížeč souborů záloh.</translation>
    </message>
    <message>
        <source>Run in offline mode.</source>
        <translation>Spustit v režimu offline.</translation>
    </message>
    <message>
        <source>Machine IP address.
- OR -
Backup file to open.</source>
        <translation>IP adresa stroje.
- NEBO -
Soubor zálohy k otevření.</translation>
    </message>
</context>
</TS>
