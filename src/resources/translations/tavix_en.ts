<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Acpu::Connection</name>
    <message>
        <source>The machine did not accept the connection within %1 s.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Acpu::ModbusConnection</name>
    <message>
        <source>The connection to the machine was closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine answered a different request.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine refused the connection: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The request could not be sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine did not complete its response.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not connected to the machine.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variables %1 to %2 are beyond the Modbus address range.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Acpu::WsConnection</name>
    <message>
        <source>The connection to the relay service was closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection to the relay service was lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The relay service did not answer the panel refresh.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine did not answer the panel refresh.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The relay service sent a message larger than %1 KiB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The relay service closed the connection: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Appcast</name>
    <message>
        <source>It is larger than %1 bytes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not JSON: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a JSON object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It has no &quot;updates&quot; object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It has no entry for the platform &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its &quot;latest-version&quot; is not a version number.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its &quot;open-url&quot; is not a web address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its &quot;sha256&quot; is not a SHA-256 checksum.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BackupCreator</name>
    <message>
        <source>Backup Completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup was created successfully.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Backup File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error saving the backup file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BackupFile</name>
    <message>
        <source>The file is larger than %1 bytes; no backup file is that large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: %1 on position %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Section %1 holds the number %2, which is beyond the range of a machine value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Validation error #%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>context: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>desc: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A member name is %1 characters long; backup files use at most %2, so the file was not validated.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a regular file (a pipe, a device or a directory); it was not opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Section %1 is malformed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data model version %1 is not a whole number.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BackupImport</name>
    <message>
        <source>Error: %1 on position %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file holds no backup: its content is not a JSON object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Section %1 is not an array.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Section %1 unknown.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Section %1 missing or is not an array.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BackupRestorer</name>
    <message>
        <source>%1: %2: sent %3, read %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup Model Mismatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup is for different machine.
Backup source: %1
Current machine: %2
Do you wish to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup was restored successfully.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Values the backup file holds empty or out of range, left as the machine has them: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Backup File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Not Verified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Safety Copy Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The backup file holds none of the parameters that are restored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The backup was written, but %1 of the values read back from the machine differ from what was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine&apos;s current values could not be saved before the restore.
Restore the backup anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The values before the restore were saved in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error loading the backup file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BackupWriter</name>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every value was written; reading them back for the check failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (in part)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was written to the machine.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Written before the error: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not written: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Coordsys</name>
    <message>
        <source>G54 - G59</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time remaining: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading Updates ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading updates (%1 of %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about one hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update could not be downloaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileViewer</name>
    <message>
        <source>Backup File Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve as...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select data model...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import v. 5 backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Everything without teeth...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show only active parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Multiple windows mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ti&amp;le</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;olumns</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Check for updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(unnamed)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup File Editor :: %1[*] (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup File Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error loading the backup file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Backup File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error saving the backup file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Backup File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup files (*.cvrk)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsupported backup data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import completed. Following parameters were not imported and must be checked:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have unsaved changes. Do you want to save them before closing?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HostnameDialog</name>
    <message>
        <source>Select target machine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter IP address or hostname:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Machines found on network:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error in communication with the machine.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HttpTransfer</name>
    <message>
        <source>The transfer did not end within %1 s.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The transfer stalled: no data arrived for %1 s.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update information gives no address to download from.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refused the address &quot;%1&quot;: only HTTPS is allowed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The transfer was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too many redirects (more than %1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refused the redirect to &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The transfer is larger than the %1 allowed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server answered %1 %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The transfer ended after %1 of %2 bytes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The downloaded file is damaged: its SHA-256 checksum does not match the update information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot move %1 into place: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LiveEditor</name>
    <message>
        <source>%1: sent %2, read %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The window closes once the values are written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Values Not Taken</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine holds %1 of the written values otherwise than sent; they stay marked as edits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Backup File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discard Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Values edited but not written to the machine: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading from the machine replaces them. Do you want to read anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have unsaved changes. Do you want to save them before closing?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup File Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error loading the backup file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup does not contain %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup Model Mismatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup is for different data model.
Backup source: %1
Current machine: %2
Do you wish to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error saving the backup file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Machine</name>
    <message>
        <source>S/N: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SW: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MachineDescription</name>
    <message>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Machine Job Running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A backup, restore or program upload is still working with the machine. Close the window when it has ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another Machine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The machine at %1 is now %2 %3, no longer %4.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameter editors opened before still show the former machine&apos;s parameters: close them and open them again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Remote Display :: %2 (%3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shift</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step by step</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setti&amp;ngs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load Program...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload Program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Create Backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Restore Backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Technological Parameters...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;R Parameters...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;G54 - G59...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools &amp;Parameters...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;eeth Parameters...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trajectory Draw</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear Host History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reset Windows Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset windows settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Check for Updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application started...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication error: %2 - %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MdnsTableModel</name>
    <message>
        <source>Machine name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Host name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Machine description</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MdnsTableView</name>
    <message>
        <source>Copy IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy host name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open web console</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>and %1 more</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please Wait</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing data...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading data...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection with the machine is broken.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error writing data to the machine.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error reading data from the machine.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Backup File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup files (*.vrk)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModelItem</name>
    <message>
        <source>Inactive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Machine mismatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModelVersionDialog</name>
    <message>
        <source>Select Data Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Machine type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Known versions:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ParameterTable</name>
    <message>
        <source>Axis %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ParametersEditor</name>
    <message>
        <source>%1[*] :: %2 %3 (%4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load backup from file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save backup to file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 1&amp;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic refresh every 1s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 100&amp;ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic refresh every 100ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show only active parameters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramSender</name>
    <message>
        <source>The file holds %1 bytes; programs of at most %2 bytes (16 MiB) are sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file holds more than %1 bytes (16 MiB), the most that is sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file holds four zero bytes at byte %1; the machine would end the program there.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramUploader</name>
    <message>
        <source>CNC files (*.cnc);;All files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error code: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Machine is not ready for program upload.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open CNC Program File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program Upload Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program Upload Finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program was uploaded successfully.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Result code: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program file is larger than 16 MiB, the largest program that is sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error loading the program file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error uploading the program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an unexpected problem uploading the program.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QTableViewClipboard</name>
    <message>
        <source>&quot;%1&quot; is not a number the machine can hold; the value is unchanged. Decimals are written with a point, as in 1.5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid clipboard data, unable to perform paste operation.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The table cannot be edited at the moment (it may be refreshing automatically), so nothing was pasted.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RParameters</name>
    <message>
        <source>R Parameters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TableModel</name>
    <message>
        <source>No number: the machine holds no valid value here. It is not written to the machine unless you enter a number.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TableModel1D</name>
    <message>
        <source>Value</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TechParameters</name>
    <message>
        <source>(unused)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Technological Parameters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Teeth</name>
    <message>
        <source>P01 - Pitch of teeth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P02 - Depth of tooth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P03 - Face angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P04 - Face length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P05 - Radius 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P06 - Gap length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P07 - Radius 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P08 - Radius 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P09 - Back length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P10 - Back angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P11 - Method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P12 - Saw blade diameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P13 - Height difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P14 - Enable height difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P15 - Height difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P16 - Length difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P17 - Radius 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P18 - Laeppfase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P19 - Lead in/out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P20 - Feed profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P21 - Number of teeth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P22 - Number of cycles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P23 - Step in X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P24 - Step in Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P25 - Opr. speed [mm/min]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P26 - Faster</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P27 - Cooling (0/1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P28 - Tool radius</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P29 - Grinding [m/s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P30 - First face missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P31 - Tool radius 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P32 - Body thickness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P33 - Cutting kerf</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P34 - Program number %N..</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P35 - Chamfering method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P36 - Chamfering width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P37 - Chamfering depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P38 - Step length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P39 - Step count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P40 - Upper angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P41 - Lower angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P42 - Step in Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P43 - Radius 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P44 - Radius 5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P45 - Winter tooth width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P46 - Winter tooth depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P47 - Winter tooth cycles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P48 - Stone tip R1R2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P49 - Stone thickness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P50 - Stone tip in angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P51 - Stone tip out angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tooth %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(unused)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Teeth Parameters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TeethEditor</name>
    <message>
        <source>%1[*] :: %2 %3 (%4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tooth shape:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load backup from file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save backup to file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 1&amp;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic refresh every 1s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 100&amp;ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic refresh every 100ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show only active parameters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TeethView</name>
    <message>
        <source>Tooth shape:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Tools</name>
    <message>
        <source>Tool T%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools Parameters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>The update information could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update check failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VersionDialog</name>
    <message>
        <source>not connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h3&gt;%1 %2&lt;/h3&gt;&lt;br/&gt;Build ID: %3&lt;br/&gt;&amp;copy; %4 %5&lt;br/&gt;&lt;br/&gt;Connected machine: %7&lt;br/&gt;&lt;br/&gt;This program comes without any warranty. Check the machine&apos;s parameters before you run it.&lt;br/&gt;&lt;br/&gt;&lt;a href=&quot;%6&quot;&gt;Release info&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>%1: there is no display to show a window on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>offline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User interface language.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open backup file viewer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run in offline mode.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Machine IP address.
- OR -
Backup file to open.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
