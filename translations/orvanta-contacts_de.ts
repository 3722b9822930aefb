<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Calling</name>
    <message>
        <location filename="../src/sharing/CallCommand.cpp" line="+25"/>
        <source>There was an error retrieving data</source>
        <translation>Beim Abrufen der Daten ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>internal error</source>
        <translation>interner Fehler</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This contact has no number to call.</source>
        <translation>Für diesen Kontakt ist keine Nummer zum Anrufen hinterlegt.</translation>
    </message>
</context>
<context>
    <name>ContactDetailsTabs</name>
    <message>
        <location filename="../src/contacts/ContactDetailsTabs.cpp" line="+67"/>
        <source>First name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Middle name</source>
        <translation>Zweiter Vorname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Guardian Name</source>
        <translation>Erziehungsberechtigte(r)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Select the &quot;Personal&quot; or &quot;Business&quot; button to view contacts</source>
        <translation>Wählen Sie „Privat“ oder „Geschäftlich“, um Kontakte anzuzeigen</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Contact details</source>
        <translation>Kontaktdetails</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Contact details pages</source>
        <translation>Seiten der Kontaktdetails</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Phone numbers and e-mail address</source>
        <translation>Telefonnummern und E-Mail-Adresse</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Photo</source>
        <translation>Foto</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Further details of the contact</source>
        <translation>Weitere Angaben zum Kontakt</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <source>More</source>
        <translation>Weiteres</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Work  </source>
        <translation>Arbeit  </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Home  </source>
        <translation>Privat  </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cell  </source>
        <translation>Mobil   </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Email </source>
        <translation>E-Mail  </translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Organization</source>
        <translation>Organisation</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Birthday</source>
        <translation>Geburtstag</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nickname</source>
        <translation>Spitzname</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Web page</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>E-mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <location line="-113"/>
        <location line="+5"/>
        <location line="+110"/>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location line="-109"/>
        <source>Contact</source>
        <translation>Kontakt</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Comments</source>
        <translation>Kommentare</translation>
    </message>
</context>
<context>
    <name>ContactListModel</name>
    <message>
        <location filename="../src/contacts/ContactListModel.cpp" line="+32"/>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
</context>
<context>
    <name>ContactListView</name>
    <message>
        <location filename="../src/contacts/ContactListView.cpp" line="+49"/>
        <source>Contacts</source>
        <translation>Kontakte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Contact list columns</source>
        <translation>Spalten der Kontaktliste</translation>
    </message>
</context>
<context>
    <name>ContactPrinter</name>
    <message>
        <location filename="../src/printing/ContactPrinter.cpp" line="+75"/>
        <source>Work phone: </source>
        <translation>Telefon (Arbeit): </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Home phone: </source>
        <translation>Telefon (privat): </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cell Phone: </source>
        <translation>Mobiltelefon: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Email : </source>
        <translation>E-Mail: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Parent/Guardian Name: </source>
        <translation>Eltern/Erziehungsberechtigte(r): </translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Save the printout as PDF</source>
        <translation>Ausdruck als PDF speichern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The printout was saved as %1.</source>
        <translation>Der Ausdruck wurde als %1 gespeichert.</translation>
    </message>
</context>
<context>
    <name>CsvExport</name>
    <message>
        <location filename="../src/formats/CsvExport.cpp" line="+239"/>
        <source>There was an error retrieving data</source>
        <translation>Beim Abrufen der Daten ist ein Fehler aufgetreten</translation>
    </message>
</context>
<context>
    <name>DbError</name>
    <message>
        <location filename="../src/data/Connection.cpp" line="+70"/>
        <source>Reading a row failed</source>
        <translation>Das Lesen einer Zeile ist fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+97"/>
        <source>The database file does not exist: %1</source>
        <translation>Die Datenbankdatei existiert nicht: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>out of memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+58"/>
        <source>The connection is closed</source>
        <translation>Die Verbindung ist geschlossen</translation>
    </message>
    <message>
        <location line="-119"/>
        <location line="+5"/>
        <location line="+63"/>
        <source>Statement failed</source>
        <translation>Die Anweisung ist fehlgeschlagen</translation>
    </message>
    <message>
        <location line="-176"/>
        <source>Statement failed: %1</source>
        <translation>Die Anweisung ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <location filename="../src/data/Schema.cpp" line="+301"/>
        <source>The file failed the contact database check: %1</source>
        <translation>Die Datei hat die Prüfung der Kontaktdatenbank nicht bestanden: %1</translation>
    </message>
    <message>
        <location filename="../src/data/SqlQuote.cpp" line="+13"/>
        <source>A text value holds a NUL character or broken UTF-16</source>
        <translation>Ein Textwert enthält ein NUL-Zeichen oder fehlerhaftes UTF-16</translation>
    </message>
</context>
<context>
    <name>Emailing</name>
    <message>
        <location filename="../src/sharing/EmailCommand.cpp" line="+18"/>
        <source>The mail program did not take the message.</source>
        <translation>Das E-Mail-Programm hat die Nachricht nicht angenommen.</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Click Yes to send the current contact book<byte value="xd"/>
or No to send the selected contacts only</source>
        <translation>Klicken Sie auf „Ja“, um das aktuelle Adressbuch zu senden,<byte value="xd"/>
oder auf „Nein“, um nur die ausgewählten Kontakte zu senden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Send as CSV</source>
        <translation>Als CSV senden</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please select a contact to email</source>
        <translation>Bitte wählen Sie einen Kontakt zum Senden per E-Mail aus</translation>
    </message>
    <message>
        <location line="-36"/>
        <source>Contacts</source>
        <translation>Kontakte</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Please type a personal message here</source>
        <translation>Bitte geben Sie hier eine persönliche Nachricht ein</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>No mail program was found to send the contacts with. They are saved in %1.</source>
        <translation>Es wurde kein E-Mail-Programm gefunden, um die Kontakte zu senden. Sie sind in %1 gespeichert.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Writing the attachment… %1 contacts</source>
        <translation>Anhang wird geschrieben… %1 Kontakte</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <location filename="../src/app/Startup.cpp" line="+56"/>
        <source>Keep it together with the journal beside it: do not move or copy one without the other.</source>
        <translation>Lassen Sie sie mit dem Journal daneben zusammen: Verschieben oder kopieren Sie keine der beiden Dateien ohne die andere.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Move it elsewhere to start with a new, empty contact database.</source>
        <translation>Verschieben Sie sie an einen anderen Ort, um mit einer neuen, leeren Kontaktdatenbank zu beginnen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The contact database %1 is in use by another program.<byte value="xd"/>
Close that program and try again; every command tries the file anew.</source>
        <translation>Die Kontaktdatenbank %1 wird von einem anderen Programm verwendet.<byte value="xd"/>
Schließen Sie dieses Programm und versuchen Sie es erneut; jeder Befehl versucht es mit der Datei von Neuem.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The contact database %1 needs recovery: a program stopped while saving left its changes in the journal beside it. Recovery needs write access to the folder %2.<byte value="xd"/>
Start the program as a user who may write there, or ask for that access. Do not move or copy the file without its journal.</source>
        <translation>Die Kontaktdatenbank %1 muss wiederhergestellt werden: Ein Programm, das beim Speichern beendet wurde, hat seine Änderungen im Journal daneben hinterlassen. Für die Wiederherstellung ist Schreibzugriff auf den Ordner %2 nötig.<byte value="xd"/>
Starten Sie das Programm als ein Benutzer, der dort schreiben darf, oder bitten Sie um diesen Zugriff. Verschieben oder kopieren Sie die Datei nicht ohne ihr Journal.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The contact database %1 cannot be read: you have no permission to read it.<byte value="xd"/>
Ask for read and write access to it.</source>
        <translation>Die Kontaktdatenbank %1 kann nicht gelesen werden: Sie haben keine Leseberechtigung dafür.<byte value="xd"/>
Bitten Sie um Lese- und Schreibzugriff darauf.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The file %1 is not a contact database.<byte value="xd"/>
It has been left exactly as it is. %2</source>
        <translation>Die Datei %1 ist keine Kontaktdatenbank.<byte value="xd"/>
Sie wurde unverändert gelassen. %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The contact database %1 is damaged.<byte value="xd"/>
It has been left exactly as it is. %2</source>
        <translation>Die Kontaktdatenbank %1 ist beschädigt.<byte value="xd"/>
Sie wurde unverändert gelassen. %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The contact database %1 could not be created.<byte value="xd"/>
Check that the folder exists and can be written to.</source>
        <translation>Die Kontaktdatenbank %1 konnte nicht angelegt werden.<byte value="xd"/>
Prüfen Sie, ob der Ordner existiert und beschreibbar ist.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Checking the contact database…</source>
        <translation>Die Kontaktdatenbank wird geprüft…</translation>
    </message>
</context>
<context>
    <name>SyncCommandLine</name>
    <message>
        <location filename="../src/app/SyncCommandLine.cpp" line="+41"/>
        <source>Password for %1 at %2: </source>
        <translation>Passwort für %1 auf %2: </translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The contact file %1 cannot be used.</source>
        <translation>Die Kontaktdatei %1 kann nicht verwendet werden.</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>No book is linked to a server.</source>
        <translation>Kein Adressbuch ist mit einem Server verknüpft.</translation>
    </message>
    <message>
        <location line="-44"/>
        <source>The password file %1 cannot be read.</source>
        <translation>Die Passwortdatei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>Warning: %1 is a plain http:// address: the password goes to the server unencrypted.</source>
        <translation>Warnung: %1 ist eine unverschlüsselte http://-Adresse: Das Passwort geht unverschlüsselt an den Server.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Warning: other users can read the password file %1; make it yours alone (chmod 600).</source>
        <translation>Warnung: Andere Benutzer können die Passwortdatei %1 lesen; machen Sie sie nur für sich lesbar (chmod 600).</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>The address holds a password; leave it out and give the password with --password-file.</source>
        <translation>Die Adresse enthält ein Passwort; lassen Sie es weg und geben Sie das Passwort mit --password-file an.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 is not an http or https address.</source>
        <translation>%1 ist keine http- oder https-Adresse.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1 is not an address book.</source>
        <translation>%1 ist kein Adressbuch.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The book %1 cannot be linked.</source>
        <translation>Das Adressbuch %1 kann nicht verknüpft werden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The contact file could not be written: %1</source>
        <translation>Die Kontaktdatei konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No keyring is available: the password will be asked for at each sync.</source>
        <translation>Kein Schlüsselbund verfügbar: Das Passwort wird bei jeder Synchronisierung abgefragt.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is linked to %2.</source>
        <translation>%1 ist mit %2 verknüpft.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Sync the linked books (or the one of --book), then quit. The password comes from --password-file, else the keyring, else standard input.</source>
        <translation>Die verknüpften Adressbücher (oder das von --book) synchronisieren, dann beenden. Das Passwort kommt aus --password-file, sonst aus dem Schlüsselbund, sonst von der Standardeingabe.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>--url and --user go with --link-book only.</source>
        <translation>--url und --user gehören nur zu --link-book.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--password-file goes with --link-book or --sync.</source>
        <translation>--password-file gehört zu --link-book oder --sync.</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USER</source>
        <translation>BENUTZER</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A file whose first line is the password: the one to link with, and with --sync the one used instead of the keyring.</source>
        <translation>Eine Datei, deren erste Zeile das Passwort ist: das zum Verknüpfen und, mit --sync, das anstelle des Schlüsselbunds verwendete.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>FOLDER</source>
        <translation>ORDNER</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Link this book to an address book.</source>
        <translation>Dieses Adressbuch mit einem Adressbuch auf dem Server verknüpfen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The address book&apos;s address.</source>
        <translation>Die Adresse des Adressbuchs auf dem Server.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The user name.</source>
        <translation>Der Benutzername.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The folder of contacts.mdb.</source>
        <translation>Der Ordner von contacts.mdb.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>--link-book needs --url, --user and --password-file.</source>
        <translation>--link-book benötigt --url, --user und --password-file.</translation>
    </message>
</context>
<context>
    <name>SyncCommands</name>
    <message>
        <location filename="../src/app/SyncCommands.cpp" line="+94"/>
        <source>No book is linked to a server: link one with File, Sync with Server…</source>
        <translation>Kein Adressbuch ist mit einem Server verknüpft: Verknüpfen Sie eines mit Datei, Mit Server synchronisieren…</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Sync status</source>
        <translation>Synchronisierungsstatus</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>The server refused the password of %1.</source>
        <translation>Der Server hat das Passwort von %1 abgelehnt.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1: the server refused the password.</source>
        <translation>%1: Der Server hat das Passwort abgelehnt.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Last sync: %1</source>
        <translation>Letzte Synchronisierung: %1</translation>
    </message>
</context>
<context>
    <name>carddav</name>
    <message>
        <location filename="../src/sync/DavClient.cpp" line="+365"/>
        <source>The server at %1 refused the user name or password.</source>
        <translation>Der Server %1 hat den Benutzernamen oder das Passwort abgelehnt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server at %1 does not allow this account to use %2.</source>
        <translation>Der Server %1 erlaubt diesem Konto nicht, %2 zu verwenden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>There is no address book at %1.</source>
        <translation>Unter %1 gibt es kein Adressbuch.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The server at %1 has a problem (HTTP %2); try again later.</source>
        <translation>Der Server %1 hat ein Problem (HTTP %2); versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The server at %1 answered HTTP %2.</source>
        <translation>Der Server %1 hat mit HTTP %2 geantwortet.</translation>
    </message>
</context>
<context>
    <name>carddav::AddressBookDiscovery</name>
    <message>
        <location filename="../src/sync/Discovery.cpp" line="+118"/>
        <source>No address book was found at %1. Check the address, or enter the address of the address book itself.</source>
        <translation>Unter %1 wurde kein Adressbuch gefunden. Prüfen Sie die Adresse oder geben Sie die Adresse des Adressbuchs selbst ein.</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>The server at %1 names no address book home for this account.</source>
        <translation>Der Server %1 nennt für dieses Konto keinen Ort für Adressbücher.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The server&apos;s answer could not be read (malformed XML).</source>
        <translation>Die Antwort des Servers konnte nicht gelesen werden (fehlerhaftes XML).</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The account has no address book on %1.</source>
        <translation>Das Konto hat auf %1 kein Adressbuch.</translation>
    </message>
</context>
<context>
    <name>carddav::DavClient</name>
    <message>
        <location filename="../src/sync/DavClient.cpp" line="-182"/>
        <source>The server at %1 did not finish its answer in time.</source>
        <translation>Der Server unter %1 hat seine Antwort nicht rechtzeitig beendet.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>The server&apos;s certificate is not trusted (%1), so nothing was sent to %2.</source>
        <translation>Dem Zertifikat des Servers wird nicht vertraut (%1), daher wurde nichts an %2 gesendet.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>The server at %1 sent a card larger than %2 MiB; it was not read.</source>
        <translation>Der Server unter %1 hat eine Karte gesendet, die größer als %2 MiB ist; sie wurde nicht gelesen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The answer of the server at %1 is larger than %2 MiB; it was not read.</source>
        <translation>Die Antwort des Servers unter %1 ist größer als %2 MiB; sie wurde nicht gelesen.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>The server at %1 keeps redirecting; check the address.</source>
        <translation>Der Server %1 leitet immer wieder um; prüfen Sie die Adresse.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The server at %1 did not answer in time.</source>
        <translation>Der Server %1 hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A secure connection to %1 could not be made: %2</source>
        <translation>Eine sichere Verbindung zu %1 konnte nicht hergestellt werden: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The server at %1 cannot be reached: %2</source>
        <translation>Der Server %1 ist nicht erreichbar: %2</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>The server at %1 gave %2 a version tag (ETag) that is not valid; nothing was sent.</source>
        <translation>Der Server unter %1 hat %2 eine ungültige Versionskennung (ETag) gegeben; es wurde nichts gesendet.</translation>
    </message>
</context>
<context>
    <name>carddav::Passwords</name>
    <message>
        <location filename="../src/sync/Passwords.cpp" line="+37"/>
        <source>No keyring is available to remember the password.</source>
        <translation>Es ist kein Schlüsselbund verfügbar, um das Passwort zu speichern.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The keyring holds no password for this account.</source>
        <translation>Der Schlüsselbund enthält kein Passwort für dieses Konto.</translation>
    </message>
</context>
<context>
    <name>carddav::SyncEngine</name>
    <message>
        <location filename="../src/sync/SyncEngine.cpp" line="+109"/>
        <location filename="../src/sync/SyncExecutor.cpp" line="+92"/>
        <source>The contact file could not be read: %1</source>
        <translation>Die Kontaktdatei konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>A sync of this data folder is already running.</source>
        <translation>Eine Synchronisierung dieses Datenordners läuft bereits.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The sync lock beside the contact file cannot be made.</source>
        <translation>Die Sperrdatei für die Synchronisierung neben der Kontaktdatei kann nicht angelegt werden.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>the book is not linked to a server</source>
        <translation>das Adressbuch ist mit keinem Server verknüpft</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>The sync was stopped.</source>
        <translation>Die Synchronisierung wurde abgebrochen.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The book was removed during the sync.</source>
        <translation>Das Adressbuch wurde während der Synchronisierung entfernt.</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>No password for %1 at %2.</source>
        <translation>Kein Passwort für %1 auf %2.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Syncing %1…</source>
        <translation>%1 wird synchronisiert…</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Syncing %1: receiving cards…</source>
        <translation>%1 wird synchronisiert: Karten werden empfangen…</translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+42"/>
        <source>The server&apos;s answer could not be read (malformed XML).</source>
        <translation>Die Antwort des Servers konnte nicht gelesen werden (fehlerhaftes XML).</translation>
    </message>
    <message>
        <location line="-14"/>
        <location line="+27"/>
        <source>The server answered the list request with HTTP %1.</source>
        <translation>Der Server hat die Listenanfrage mit HTTP %1 beantwortet.</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Syncing %1: receiving cards %2 to %3 of %4…</source>
        <translation>%1 wird synchronisiert: Karten %2 bis %3 von %4 werden empfangen…</translation>
    </message>
    <message>
        <location line="+138"/>
        <source>The change to %1 was not sent: it would replace a value of the server&apos;s card longer than %2 MiB, which was not taken in.</source>
        <translation>Die Änderung an %1 wurde nicht gesendet: Sie würde einen Wert der Karte auf dem Server ersetzen, der länger als %2 MiB ist und nicht übernommen wurde.</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>The contact file is busy with other work; the sync goes on at its next turn.</source>
        <translation>Die Kontaktdatei ist mit anderer Arbeit beschäftigt; die Synchronisierung wird beim nächsten Mal fortgesetzt.</translation>
    </message>
    <message>
        <location line="-380"/>
        <location line="+159"/>
        <source>The server answered the card request with HTTP %1.</source>
        <translation>Der Server hat die Kartenanfrage mit HTTP %1 beantwortet.</translation>
    </message>
    <message>
        <location filename="../src/sync/SyncExecutor.cpp" line="+96"/>
        <source>The server&apos;s card %1 could not be read.</source>
        <translation>Die Karte %1 des Servers konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The %1 value of the server&apos;s card %2 is longer than %3 MiB and was not taken in; it stays on the server as it is.</source>
        <translation>Der Wert %1 der Karte %2 auf dem Server ist länger als %3 MiB und wurde nicht übernommen; er bleibt auf dem Server unverändert.</translation>
    </message>
    <message>
        <location line="-24"/>
        <source>The contact file could not be written: %1</source>
        <translation>Die Kontaktdatei konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The book was removed or linked elsewhere during the sync; nothing more was written to it.</source>
        <translation>Das Adressbuch wurde während der Synchronisierung entfernt oder anders verknüpft; es wurde nichts weiter hineingeschrieben.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The server gave %1 a version tag (ETag) that is not valid, so nothing more was read or sent.</source>
        <translation>Der Server hat %1 eine ungültige Versionskennung (ETag) gegeben; deshalb wurde nichts weiter gelesen oder gesendet.</translation>
    </message>
    <message>
        <location line="+95"/>
        <source>Conflict copy, %1</source>
        <translation>Konfliktkopie, %1</translation>
    </message>
    <message>
        <location filename="../src/sync/SyncEngine.cpp" line="+62"/>
        <source>Syncing %1: sending change %2 of %3…</source>
        <translation>%1 wird synchronisiert: Änderung %2 von %3 wird gesendet…</translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+65"/>
        <location line="+16"/>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
</context>
<context>
    <name>carddav::SyncSettingsDialog</name>
    <message>
        <location filename="../src/sync/SyncSettingsDialog.cpp" line="+25"/>
        <source>The contact file could not be used: %1</source>
        <translation>Die Kontaktdatei konnte nicht verwendet werden: %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Sync with Server</source>
        <translation>Mit Server synchronisieren</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Link of this book</source>
        <translation>Verknüpfung dieses Adressbuchs</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>https://contacts.example.org/</source>
        <translation>https://contacts.example.org/</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Server &amp;address:</source>
        <translation>Server&amp;adresse:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>This is a plain http:// address: the password goes to the server unencrypted, and anyone on the way can read it.</source>
        <translation>Dies ist eine unverschlüsselte http://-Adresse: Das Passwort geht unverschlüsselt an den Server, und jeder auf dem Weg kann es lesen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Find Address Books</source>
        <translation>Adressbücher &amp;suchen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Address books on the server</source>
        <translation>Adressbücher auf dem Server</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Sync status</source>
        <translation>Synchronisierungsstatus</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Link</source>
        <translation>&amp;Verknüpfen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Unlink</source>
        <translation>Verknüpfung &amp;lösen</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>The book “%1” is not linked to a server.</source>
        <translation>Das Adressbuch „%1“ ist mit keinem Server verknüpft.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The book “%1” is linked to %2 as %3.</source>
        <translation>Das Adressbuch „%1“ ist als %3 mit %2 verknüpft.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The last sync failed: %1</source>
        <translation>Die letzte Synchronisierung ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Last sync: %1</source>
        <translation>Letzte Synchronisierung: %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Enter the server&apos;s address, for example https://contacts.example.org/.</source>
        <translation>Geben Sie die Adresse des Servers ein, zum Beispiel https://contacts.example.org/.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The address holds a password; leave it out of the address and enter it under Password.</source>
        <translation>Die Adresse enthält ein Passwort; lassen Sie es aus der Adresse weg und geben Sie es unter Passwort ein.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Enter the user name of your account on the server.</source>
        <translation>Geben Sie den Benutzernamen Ihres Kontos auf dem Server ein.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Looking for address books on %1…</source>
        <translation>Adressbücher auf %1 werden gesucht…</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Choose the address book to keep the book “%1” in, then click Link.</source>
        <translation>Wählen Sie das Server-Adressbuch, in dem das Adressbuch „%1“ geführt werden soll, und klicken Sie dann auf „Verknüpfen“.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Find the address books first, then choose one.</source>
        <translation>Suchen Sie zuerst die Adressbücher und wählen Sie dann eines aus.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The book “%1” no longer exists.</source>
        <translation>Das Adressbuch „%1“ existiert nicht mehr.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The book “%1” is linked to “%2”.</source>
        <translation>Das Adressbuch „%1“ ist mit „%2“ verknüpft.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No keyring is available: the password is kept until the program ends and asked for once in each later run.</source>
        <translation>Kein Schlüsselbund verfügbar: Das Passwort wird bis zum Programmende behalten und bei jedem späteren Start einmal abgefragt.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Unlink the book “%1” from its address book? Its contacts stay in the book, and the address book stays on the server.</source>
        <translation>Die Verknüpfung des Adressbuchs „%1“ mit dem Server-Adressbuch lösen? Die Kontakte bleiben im Adressbuch, und das Server-Adressbuch bleibt auf dem Server.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Unlink book</source>
        <translation>Verknüpfung lösen</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The book “%1” is no longer linked; its contacts stay in it.</source>
        <translation>Das Adressbuch „%1“ ist nicht mehr verknüpft; seine Kontakte bleiben darin.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Sync Password</source>
        <translation>Passwort für die Synchronisierung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Password of %1 at %2 for the book “%3”:</source>
        <translation>Passwort von %1 auf %2 für das Adressbuch „%3“:</translation>
    </message>
</context>
<context>
    <name>carddav::SyncSummary</name>
    <message>
        <location filename="../src/sync/SyncEngine.cpp" line="-582"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: sync failed: %2</source>
        <translation>%1: Synchronisierung fehlgeschlagen: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: %2 received, %3 sent, %4 removed here, %5 removed on the server, %6 conflicts</source>
        <translation>%1: %2 empfangen, %3 gesendet, %4 hier entfernt, %5 auf dem Server entfernt, %6 Konflikte</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>; %1 outside the address book, ignored</source>
        <translation>; %1 außerhalb des Adressbuchs, ignoriert</translation>
    </message>
</context>
<context>
    <name>ctrContactBook</name>
    <message>
        <location filename="../src/books/ctrContactBook.cpp" line="+24"/>
        <source>Choose and close</source>
        <translation>Auswählen und schließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete Selected</source>
        <translation>Ausgewähltes löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add New</source>
        <translation>Neu hinzufügen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>New Contact Book</source>
        <translation>Neues Adressbuch</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Confirm add</source>
        <translation>Hinzufügen bestätigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Available contact books</source>
        <translation>Vorhandene Adressbücher</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+46"/>
        <source>New contact book&apos;s name</source>
        <translation>Name des neuen Adressbuchs</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Contact books</source>
        <translation>Adressbücher</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>There was an error retrieving data</source>
        <translation>Beim Abrufen der Daten ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Please specify a valid contact book name.</source>
        <translation>Bitte geben Sie einen gültigen Namen für das Adressbuch an.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Please specify a valid contact book name.<byte value="xd"/>
The name holds a character that cannot be stored (a NUL character).</source>
        <translation>Bitte geben Sie einen gültigen Namen für das Adressbuch an.<byte value="xd"/>
Der Name enthält ein Zeichen, das nicht gespeichert werden kann (ein NUL-Zeichen).</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>There was an error in adding the new contact book</source>
        <translation>Beim Hinzufügen des neuen Adressbuchs ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please specify a valid contact book name.<byte value="xd"/>
The provided name is already in use.</source>
        <translation>Bitte geben Sie einen gültigen Namen für das Adressbuch an.<byte value="xd"/>
Der angegebene Name wird bereits verwendet.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>New Contact book Added successfully</source>
        <translation>Neues Adressbuch erfolgreich hinzugefügt</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+8"/>
        <source>Please choose a contact book</source>
        <translation>Bitte wählen Sie ein Adressbuch aus</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This book cannot be deleted</source>
        <translation>Dieses Adressbuch kann nicht gelöscht werden</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Are you sure you want to delete the contact book %1?<byte value="xd"/>
All contacts in this book will be deleted</source>
        <translation>Möchten Sie das Adressbuch %1 wirklich löschen?<byte value="xd"/>
Alle Kontakte in diesem Adressbuch werden gelöscht</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Contact book Deleted successfully</source>
        <translation>Adressbuch erfolgreich gelöscht</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Contact book could not be deleted</source>
        <translation>Das Adressbuch konnte nicht gelöscht werden</translation>
    </message>
</context>
<context>
    <name>ctrRecord</name>
    <message>
        <location filename="../src/editor/ctrRecord.cpp" line="+130"/>
        <source>Personal</source>
        <translation>Privat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Business</source>
        <translation>Geschäftlich</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Discard your changes?</source>
        <translation>Ihre Änderungen verwerfen?</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Add Record</source>
        <translation>Kontakt hinzufügen</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Middle Name</source>
        <translation>Zweiter Vorname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Parent Or Guadrian Name</source>
        <translation>Name der Eltern oder Erziehungsberechtigten</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+1"/>
        <source>Record type</source>
        <translation>Kontaktart</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+4"/>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>State</source>
        <translation>Bundesland</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zip code</source>
        <translation>Postleitzahl</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Work phone</source>
        <translation>Telefon (Arbeit)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Home phone</source>
        <translation>Telefon (privat)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cell phone</source>
        <translation>Mobiltelefon</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Contact</source>
        <translation>Kontakt</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+2"/>
        <location line="+100"/>
        <source>Comments</source>
        <translation>Kommentare</translation>
    </message>
    <message>
        <location line="-96"/>
        <location line="+58"/>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <location line="-57"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Contact details</source>
        <translation>Kontaktdetails</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Contact details pages</source>
        <translation>Seiten der Kontaktdetails</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Update details</source>
        <translation>Angaben ändern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Add details</source>
        <translation>Angaben hinzufügen</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+60"/>
        <source>There was an error retrieving data</source>
        <translation>Beim Abrufen der Daten ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>internal error</source>
        <translation>interner Fehler</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1 holds a character that cannot be stored (a NUL character).<byte value="xd"/>
Please remove it and save again.</source>
        <translation>%1 enthält ein Zeichen, das nicht gespeichert werden kann (ein NUL-Zeichen).<byte value="xd"/>
Bitte entfernen Sie es und speichern Sie erneut.</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+4"/>
        <source>There was an error in saving data</source>
        <translation>Beim Speichern der Daten ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Record saved sucessfuly</source>
        <translation>Kontakt erfolgreich gespeichert</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>This contact no longer exists, so the changes could not be saved.</source>
        <translation>Dieser Kontakt existiert nicht mehr, daher konnten die Änderungen nicht gespeichert werden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This contact was changed in another window or program after you opened it. Save your changes over it?</source>
        <translation>Dieser Kontakt wurde in einem anderen Fenster oder Programm geändert, nachdem Sie ihn geöffnet haben. Ihre Änderungen trotzdem speichern?</translation>
    </message>
</context>
<context>
    <name>ctrTypeFilter</name>
    <message>
        <location filename="../src/contacts/ctrTypeFilter.cpp" line="+198"/>
        <source>Contact type and last name filter</source>
        <translation>Filter nach Kontaktart und Nachname</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Personal</source>
        <translation>Privat</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Business</source>
        <translation>Geschäftlich</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Personal contacts</source>
        <translation>Private Kontakte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Business contacts</source>
        <translation>Geschäftliche Kontakte</translation>
    </message>
    <message>
        <location filename="../src/app/Commands.cpp" line="+113"/>
        <source>PERSONAL</source>
        <translation>PRIVATE</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>BUSINESS</source>
        <translation>GESCHÄFTLICHE</translation>
    </message>
    <message>
        <location filename="../src/contacts/ctrTypeFilter.cpp" line="+10"/>
        <source>Last names starting with %1</source>
        <translation>Nachnamen, die mit %1 beginnen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>ALL</source>
        <translation>ALLE</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>All last names</source>
        <translation>Alle Nachnamen</translation>
    </message>
    <message>
        <location filename="../src/app/Commands.cpp" line="-5"/>
        <location line="+4"/>
        <source>Viewing %1 Contacts</source>
        <translation>Angezeigt: %1 Kontakte</translation>
    </message>
</context>
<context>
    <name>exchange</name>
    <message>
        <location filename="../src/exchange/CommandLine.cpp" line="+30"/>
        <source>There is no contact book named &quot;%1&quot;. The contact books are: %2.</source>
        <translation>Es gibt kein Adressbuch namens „%1“. Die Adressbücher sind: %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The contact database cannot be used: %1</source>
        <translation>Die Kontaktdatenbank kann nicht verwendet werden: %1</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>The name of the file &quot;%1&quot; is not valid UTF-8; nothing was written. Name a file whose name is.</source>
        <translation>Der Name der Datei „%1“ ist kein gültiges UTF-8; es wurde nichts geschrieben. Geben Sie eine Datei an, deren Name gültiges UTF-8 ist.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>standard output</source>
        <translation>Standardausgabe</translation>
    </message>
    <message>
        <location filename="../src/exchange/ExchangeCommands.cpp" line="+53"/>
        <source>Importing contacts from &quot;%1&quot;…</source>
        <translation>Kontakte werden aus „%1“ importiert…</translation>
    </message>
    <message>
        <location line="-10"/>
        <location line="+20"/>
        <location line="+29"/>
        <location line="+20"/>
        <source>Import Contacts</source>
        <translation>Kontakte importieren</translation>
    </message>
    <message>
        <location line="-72"/>
        <source>&quot;%1&quot; is not a file but a folder, a named pipe or a device, and cannot be imported. Nothing was imported.</source>
        <translation>„%1“ ist keine Datei, sondern ein Ordner, eine benannte Pipe oder ein Gerät, und kann nicht importiert werden. Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Contact files (*.vcf *.vcard *.csv)</source>
        <translation>Kontaktdateien (*.vcf *.vcard *.csv)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>vCard files (*.vcf *.vcard)</source>
        <translation>vCard-Dateien (*.vcf *.vcard)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Import the contacts in &quot;%1&quot; into the contact book &quot;%2&quot;?</source>
        <translation>Die Kontakte aus „%1“ in das Adressbuch „%2“ importieren?</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Click Yes to export the current contact book<byte value="xd"/>
or No to export the selected contacts only</source>
        <translation>Klicken Sie auf „Ja“, um das aktuelle Adressbuch zu exportieren,<byte value="xd"/>
oder auf „Nein“, um nur die ausgewählten Kontakte zu exportieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+19"/>
        <location line="+15"/>
        <source>Export as vCard</source>
        <translation>Als vCard exportieren</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Export Contact Book as vCard</source>
        <translation>Adressbuch als vCard exportieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>vCard 3.0 (*.vcf)</source>
        <translation>vCard 3.0 (*.vcf)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>vCard 4.0 (*.vcf)</source>
        <translation>vCard 4.0 (*.vcf)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Exporting contacts to &quot;%1&quot;…</source>
        <translation>Kontakte werden nach „%1“ exportiert…</translation>
    </message>
</context>
<context>
    <name>exchange::ExportSummary</name>
    <message>
        <location filename="../src/exchange/ContactExport.cpp" line="+217"/>
        <source>The export was cancelled. No file was written; an earlier &quot;%1&quot; is left as it was.</source>
        <translation>Der Export wurde abgebrochen. Es wurde keine Datei geschrieben; eine frühere „%1“ bleibt unverändert.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The file &quot;%1&quot; could not be written (%2).</source>
        <translation>Die Datei „%1“ konnte nicht geschrieben werden (%2).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&quot;%1&quot; is the contact database itself. Choose another file to export to.</source>
        <translation>„%1“ ist die Kontaktdatenbank selbst. Wählen Sie eine andere Datei für den Export.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&quot;%1&quot; is not a file that an export can write into, but a folder, a device or the like. Choose a file to export to.</source>
        <translation>„%1“ ist keine Datei, in die ein Export schreiben kann, sondern ein Ordner, ein Gerät oder Ähnliches. Wählen Sie eine Datei für den Export.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The contacts could not be read from the contact database. No file was written.</source>
        <translation>Die Kontakte konnten nicht aus der Kontaktdatenbank gelesen werden. Es wurde keine Datei geschrieben.</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n contact(s) of the contact book &quot;%1&quot; written to &quot;%2&quot;.</source>
        <translation>
            <numerusform>%n Kontakt des Adressbuchs „%1“ nach „%2“ geschrieben.</numerusform>
            <numerusform>%n Kontakte des Adressbuchs „%1“ nach „%2“ geschrieben.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1: %2 written from &quot;%3&quot; as vCard %4</source>
        <translation>%1: %2 aus „%3“ als vCard %4 geschrieben</translation>
    </message>
</context>
<context>
    <name>exchange::ImportSummary</name>
    <message>
        <location filename="../src/exchange/ContactImport.cpp" line="+120"/>
        <source>Line %1: a contact with a value that cannot be stored (a NUL character) was skipped.</source>
        <translation>Zeile %1: Ein Kontakt mit einem Wert, der nicht gespeichert werden kann (ein NUL-Zeichen), wurde übersprungen.</translation>
    </message>
    <message numerus="yes">
        <location line="+8"/>
        <source>… and %n more.</source>
        <translation>
            <numerusform>… und %n weiterer.</numerusform>
            <numerusform>… und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The import was cancelled. Nothing was imported.</source>
        <translation>Der Import wurde abgebrochen. Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&quot;%1&quot; cannot be imported: it is neither a vCard file nor a CSV file with the columns of this program&apos;s export. Nothing was imported.</source>
        <translation>„%1“ kann nicht importiert werden: Die Datei ist weder eine vCard-Datei noch eine CSV-Datei mit den Spalten des Exports dieses Programms. Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The file &quot;%1&quot; could not be read (%2). Nothing was imported.</source>
        <translation>Die Datei „%1“ konnte nicht gelesen werden (%2). Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>There is no contact book named &quot;%1&quot;. Nothing was imported.</source>
        <translation>Es gibt kein Adressbuch namens „%1“. Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The contacts could not be stored in the contact database. Nothing was imported.</source>
        <translation>Die Kontakte konnten nicht in der Kontaktdatenbank gespeichert werden. Es wurde nichts importiert.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The contact database has given out its highest contact id (%1), so no contact can be added to it any more. Nothing was imported.</source>
        <translation>Die Kontaktdatenbank hat ihre höchste Kontakt-ID (%1) bereits vergeben, daher können keine Kontakte mehr hinzugefügt werden. Es wurde nichts importiert.</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>%n contact(s) imported from &quot;%1&quot; into the contact book &quot;%2&quot;.</source>
        <translation>
            <numerusform>%n Kontakt aus „%1“ in das Adressbuch „%2“ importiert.</numerusform>
            <numerusform>%n Kontakte aus „%1“ in das Adressbuch „%2“ importiert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n contact(s) already in the book, so not imported again.</source>
        <translation>
            <numerusform>%n Kontakt ist bereits im Adressbuch und wurde daher nicht erneut importiert.</numerusform>
            <numerusform>%n Kontakte sind bereits im Adressbuch und wurden daher nicht erneut importiert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n contact(s) skipped.</source>
        <translation>
            <numerusform>%n Kontakt übersprungen.</numerusform>
            <numerusform>%n Kontakte übersprungen.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1: %2 imported into &quot;%3&quot;, %4 already there, %5 skipped</source>
        <translation>%1: %2 in „%3“ importiert, %4 bereits vorhanden, %5 übersprungen</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <location filename="../src/about/frmAbout.cpp" line="+105"/>
        <source>Orvanta Contacts logo</source>
        <translation>Logo von Orvanta Contacts</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Licence</source>
        <translation>Lizenz</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminformationen...</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Linux desktop (Qt %1)

Copyright © Orvanta Software Works
Distributed by Orvanta Software Works</source>
        <translation>Linux-Desktop (Qt %1)

Copyright © Orvanta Software Works
Vertrieben von Orvanta Software Works</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Systeminformationen sind zurzeit nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>frmContactMgmt</name>
    <message>
        <location filename="../src/app/Commands.cpp" line="-57"/>
        <location line="+82"/>
        <source>There was an error retrieving data</source>
        <translation>Beim Abrufen der Daten ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <location line="-80"/>
        <location line="+78"/>
        <source>internal error</source>
        <translation>interner Fehler</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The search text holds a character that cannot be searched for (a NUL character).</source>
        <translation>Der Suchtext enthält ein Zeichen, nach dem nicht gesucht werden kann (ein NUL-Zeichen).</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>Searching ALL Contacts</source>
        <translation>Suche in ALLEN Kontakten</translation>
    </message>
    <message>
        <location line="-74"/>
        <source>Listing contacts…</source>
        <translation>Kontakte werden aufgelistet…</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Sorting contacts…</source>
        <translation>Kontakte werden sortiert…</translation>
    </message>
    <message>
        <location line="+78"/>
        <source>Please select a contact to delete</source>
        <translation>Bitte wählen Sie einen Kontakt zum Löschen aus</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Are you sure you want to delete the current Record %1?</source>
        <translation>Möchten Sie den Kontakt %1 wirklich löschen?</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Record could not be deleted</source>
        <translation>Der Kontakt konnte nicht gelöscht werden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Record Deleted successfully</source>
        <translation>Kontakt erfolgreich gelöscht</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Please select a contact to edit</source>
        <translation>Bitte wählen Sie einen Kontakt zum Bearbeiten aus</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Please select a contact to print</source>
        <translation>Bitte wählen Sie einen Kontakt zum Drucken aus</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Click Yes to Print the current contact details.</source>
        <translation>Klicken Sie auf „Ja“, um die Angaben des aktuellen Kontakts zu drucken.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print selected contact</source>
        <translation>Ausgewählten Kontakt drucken</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An error occured while printing the selected records.</source>
        <translation>Beim Drucken der ausgewählten Kontakte ist ein Fehler aufgetreten.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Printing… %1 contacts so far</source>
        <translation>Drucken… bisher %1 Kontakte</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Print the complete contact book?</source>
        <translation>Das gesamte Adressbuch drucken?</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Print contact book</source>
        <translation>Adressbuch drucken</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An error occured while printing the contact book.</source>
        <translation>Beim Drucken des Adressbuchs ist ein Fehler aufgetreten.</translation>
    </message>
    <message>
        <location filename="../src/app/frmContactMgmt.cpp" line="+84"/>
        <source>Add New Contact</source>
        <translation>Neuen Kontakt hinzufügen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete Contact</source>
        <translation>Kontakt löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Email Contact</source>
        <translation>Kontakt per E-Mail senden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Call Contact</source>
        <translation>Kontakt anrufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print Contact</source>
        <translation>Kontakt drucken</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Last Name Search</source>
        <translation>Nach Nachname suchen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Search Database</source>
        <translation>Datenbank durchsuchen</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Call</source>
        <translation>Anrufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Orvanta Contacts logo</source>
        <translation>Logo von Orvanta Contacts</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Contact Books</source>
        <translation>Adressbücher</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Manage contact books</source>
        <translation>Adressbücher &amp;verwalten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;EMail current contact book</source>
        <translation>Aktuelles Adressbuch per &amp;E-Mail senden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Print current contact book</source>
        <translation>Aktuelles Adressbuch &amp;drucken</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Import Contacts…</source>
        <translation>Kontakte &amp;importieren…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export Contact Book as &amp;vCard…</source>
        <translation>Adressbuch als v&amp;Card exportieren…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Call at &amp;Home number</source>
        <translation>&amp;Privatnummer anrufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Call at &amp;Work number</source>
        <translation>&amp;Geschäftsnummer anrufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Call at &amp;Cell number</source>
        <translation>&amp;Mobilnummer anrufen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Sync with Server…</source>
        <translation>Mit &amp;Server synchronisieren…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sync &amp;Now</source>
        <translation>&amp;Jetzt synchronisieren</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Last name to search for</source>
        <translation>Gesuchter Nachname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Contact list</source>
        <translation>Kontaktliste</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>An error occured during initialization.</source>
        <translation>Beim Initialisieren ist ein Fehler aufgetreten.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Orvanta Contacts [Default Contact Book]</source>
        <translation>Orvanta Contacts [Standard-Adressbuch]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Orvanta Contacts [ %1 ]</source>
        <translation>Orvanta Contacts [ %1 ]</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../src/main.cpp" line="+48"/>
        <source>Import the contacts of a vCard or CSV file, then quit.</source>
        <translation>Die Kontakte einer vCard- oder CSV-Datei importieren und dann beenden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The vCard version to export: 3.0 (default) or 4.0.</source>
        <translation>Die vCard-Version für den Export: 3.0 (Vorgabe) oder 4.0.</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>The contact book to import into, export or sync (default: Default; for a sync, every linked book).</source>
        <translation>Das Adressbuch für Import, Export oder Synchronisation (Vorgabe: Default; bei einer Synchronisation jedes verknüpfte Adressbuch).</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Export a contact book as vCards (FILE -: to standard output), then quit.</source>
        <translation>Ein Adressbuch als vCards exportieren (DATEI -: in die Standardausgabe) und dann beenden.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>VERSION</source>
        <translation>VERSION</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Keep contacts in named contact books.</source>
        <translation>Kontakte in benannten Adressbüchern verwalten.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>vCard files to import into the current contact book, each after a question.</source>
        <translation>vCard-Dateien, die nach jeweils einer Rückfrage in das aktuelle Adressbuch importiert werden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>[FILE...]</source>
        <translation>[DATEI...]</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>--%1 is given more than once.</source>
        <translation>--%1 ist mehrfach angegeben.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The value of --%1 is empty.</source>
        <translation>Der Wert von --%1 ist leer.</translation>
    </message>
    <message>
        <location line="+107"/>
        <source>--sync and --link-book go without --import, --export-vcard and --vcard-version.</source>
        <translation>--sync und --link-book gehen nicht zusammen mit --import, --export-vcard und --vcard-version.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Give --import, --export-vcard, --sync or --link-book.</source>
        <translation>Geben Sie --import, --export-vcard, --sync oder --link-book an.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Give either --import or --export-vcard.</source>
        <translation>Geben Sie entweder --import oder --export-vcard an.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected argument: %1</source>
        <translation>Unerwartetes Argument: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The vCard version is 3.0 or 4.0, not &quot;%1&quot;.</source>
        <translation>Die vCard-Version ist 3.0 oder 4.0, nicht „%1“.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--vcard-version goes with --export-vcard only.</source>
        <translation>--vcard-version gilt nur zusammen mit --export-vcard.</translation>
    </message>
</context>
<context>
    <name>platform::Background</name>
    <message>
        <location filename="../src/platform/Background.cpp" line="+142"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>vcard::ImportProblem</name>
    <message>
        <location filename="../src/formats/ContactFileReader.cpp" line="+44"/>
        <source>The file is neither a vCard file nor a CSV file with the columns of this program&apos;s export. Nothing was read.</source>
        <translation>Die Datei ist weder eine vCard-Datei noch eine CSV-Datei mit den Spalten des Exports dieses Programms. Es wurde nichts gelesen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file could not be read to its end.</source>
        <translation>Die Datei konnte nicht bis zum Ende gelesen werden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Line %1: a card without END:VCARD was skipped.</source>
        <translation>Zeile %1: Eine Karte ohne END:VCARD wurde übersprungen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Line %1: &quot;%2&quot; is not a property of the form name:value and was skipped.</source>
        <translation>Zeile %1: „%2“ ist keine Eigenschaft der Form Name:Wert und wurde übersprungen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Line %1: text outside a card was ignored.</source>
        <translation>Zeile %1: Text außerhalb einer Karte wurde ignoriert.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Line %1: a contact without any value was skipped.</source>
        <translation>Zeile %1: Ein Kontakt ohne jeden Wert wurde übersprungen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Line %1: the %2 value is longer than %3 MiB and was skipped.</source>
        <translation>Zeile %1: Der Wert %2 ist länger als %3 MiB und wurde übersprungen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Line %1: a contact larger than %2 MiB was skipped.</source>
        <translation>Zeile %1: Ein Kontakt größer als %2 MiB wurde übersprungen.</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>Line %1: the row has %n value(s), not one for each column of the header; it was skipped.</source>
        <translation>
            <numerusform>Zeile %1: Die Zeile hat %n Wert statt einen für jede Spalte der Kopfzeile; sie wurde übersprungen.</numerusform>
            <numerusform>Zeile %1: Die Zeile hat %n Werte statt einen für jede Spalte der Kopfzeile; sie wurde übersprungen.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Line %1: a value in double quotes is not closed; the row was skipped.</source>
        <translation>Zeile %1: Ein Wert in doppelten Anführungszeichen ist nicht geschlossen; die Zeile wurde übersprungen.</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n picture(s), sound(s), key(s) or other binary value(s) were skipped.</source>
        <translation>
            <numerusform>%n Bild, Klang, Schlüssel oder anderer Binärwert wurde übersprungen.</numerusform>
            <numerusform>%n Bilder, Klänge, Schlüssel oder andere Binärwerte wurden übersprungen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n propert(y/ies) that only other programs use were skipped.</source>
        <translation>
            <numerusform>%n Eigenschaft, die nur andere Programme verwenden, wurde übersprungen.</numerusform>
            <numerusform>%n Eigenschaften, die nur andere Programme verwenden, wurden übersprungen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n more problem(s) were not listed.</source>
        <translation>
            <numerusform>%n weiteres Problem wurde nicht aufgeführt.</numerusform>
            <numerusform>%n weitere Probleme wurden nicht aufgeführt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vcard::Labels</name>
    <message>
        <location filename="../src/formats/CardExtras.cpp" line="+146"/>
        <source>Web page</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <location line="-56"/>
        <location line="+1"/>
        <location line="+49"/>
        <source>cell</source>
        <translation>mobil</translation>
    </message>
    <message>
        <location line="-46"/>
        <location line="+48"/>
        <source>work</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <location line="-47"/>
        <location line="+46"/>
        <source>home</source>
        <translation>privat</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>other</source>
        <translation>sonstige</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>main</source>
        <translation>Hauptnummer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>assistant</source>
        <translation>Assistenz</translation>
    </message>
    <message>
        <location line="-53"/>
        <source>Fax</source>
        <translation>Fax</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pager</source>
        <translation>Pager</translation>
    </message>
</context>
</TS>
