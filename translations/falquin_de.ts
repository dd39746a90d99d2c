<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Box</name>
    <message>
        <source>(unnamed)</source>
        <translation>(ohne Namen)</translation>
    </message>
</context>
<context>
    <name>DeviceChoice</name>
    <message>
        <source>No remembered device %1</source>
        <translation>Kein gemerktes Gerät %1</translation>
    </message>
</context>
<context>
    <name>DeviceFollower</name>
    <message>
        <source>%1 is now at %2</source>
        <translation>%1 ist jetzt unter %2</translation>
    </message>
</context>
<context>
    <name>DeviceMenu</name>
    <message>
        <source>Media keys control this box</source>
        <translation>Medientasten steuern dieses Gerät</translation>
    </message>
    <message>
        <source>Choose another device…</source>
        <translation>Anderes Gerät wählen…</translation>
    </message>
</context>
<context>
    <name>DevicePicker</name>
    <message>
        <source>Orvantide devices</source>
        <translation>Orvantide-Geräte</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>scanning…</source>
        <translation>Suche läuft…</translation>
    </message>
    <message>
        <source>no devices found</source>
        <translation>keine Geräte gefunden</translation>
    </message>
    <message>
        <source>Or enter an IP address</source>
        <translation>Oder eine IP-Adresse eingeben</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>Choose a device</source>
        <translation>Gerät auswählen</translation>
    </message>
    <message>
        <source>Searching for devices</source>
        <translation>Suche nach Geräten läuft</translation>
    </message>
    <message>
        <source>Not searching</source>
        <translation>Keine Suche</translation>
    </message>
    <message>
        <source>Remembered devices, not answering</source>
        <translation>Gemerkte Geräte, antworten nicht</translation>
    </message>
    <message>
        <source>not answering</source>
        <translation>antwortet nicht</translation>
    </message>
</context>
<context>
    <name>DiscoveryService</name>
    <message>
        <source>UDP port %1 is taken by another program</source>
        <translation>UDP-Port %1 wird von einem anderen Programm belegt</translation>
    </message>
    <message>
        <source>no network to search</source>
        <translation>kein Netzwerk zum Suchen</translation>
    </message>
</context>
<context>
    <name>ForgetButton</name>
    <message>
        <source>Forget %1</source>
        <translation>%1 vergessen</translation>
    </message>
    <message>
        <source>Forget</source>
        <translation>Vergessen</translation>
    </message>
</context>
<context>
    <name>HostAddress</name>
    <message>
        <source>Not a numeric IP address</source>
        <translation>Keine numerische IP-Adresse</translation>
    </message>
    <message>
        <source>0.0.0.0 is no box&apos;s address</source>
        <translation>0.0.0.0 ist keine Geräteadresse</translation>
    </message>
    <message>
        <source>A broadcast address reaches every box</source>
        <translation>Eine Broadcast-Adresse erreicht alle Geräte</translation>
    </message>
    <message>
        <source>A multicast address is no box&apos;s address</source>
        <translation>Eine Multicast-Adresse ist keine Geräteadresse</translation>
    </message>
    <message>
        <source>No address typed</source>
        <translation>Keine Adresse eingegeben</translation>
    </message>
    <message>
        <source>Spaces around an address are not allowed</source>
        <translation>Leerzeichen um die Adresse sind nicht erlaubt</translation>
    </message>
    <message>
        <source>Not a whole IPv4 address: four numbers 0–255 are needed</source>
        <translation>Keine vollständige IPv4-Adresse: vier Zahlen von 0 bis 255 sind nötig</translation>
    </message>
    <message>
        <source>Leading zeros are not allowed</source>
        <translation>Führende Nullen sind nicht erlaubt</translation>
    </message>
    <message>
        <source>:: is no box&apos;s address</source>
        <translation>:: ist keine Geräteadresse</translation>
    </message>
    <message>
        <source>An address in 0.0.0.0/8 is no box&apos;s address</source>
        <translation>Eine Adresse in 0.0.0.0/8 ist keine Geräteadresse</translation>
    </message>
    <message>
        <source>An address in 240.0.0.0/4 is reserved, no box&apos;s address</source>
        <translation>Eine Adresse in 240.0.0.0/4 ist reserviert, keine Geräteadresse</translation>
    </message>
    <message>
        <source>%1 is the broadcast address of %2</source>
        <translation>%1 ist die Broadcast-Adresse von %2</translation>
    </message>
    <message>
        <source>%1 is the address of the network %2 itself</source>
        <translation>%1 ist die Adresse des Netzwerks %2 selbst</translation>
    </message>
    <message>
        <source>A scope after % is an interface name or number: up to 15 letters, digits, &apos;.&apos;, &apos;_&apos; or &apos;-&apos;</source>
        <translation>Die Zone nach % ist ein Schnittstellenname oder eine Nummer: bis zu 15 Buchstaben, Ziffern, „.“, „_“ oder „-“</translation>
    </message>
</context>
<context>
    <name>KeySender</name>
    <message>
        <source>no device configured</source>
        <translation>kein Gerät eingerichtet</translation>
    </message>
    <message>
        <source>invalid IP address &apos;%1&apos;</source>
        <translation>ungültige IP-Adresse „%1“</translation>
    </message>
    <message>
        <source>key string too long</source>
        <translation>Tastenbefehl zu lang</translation>
    </message>
    <message>
        <source>send failed: %1</source>
        <translation>Senden fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>device could not parse the key string</source>
        <translation>das Gerät konnte den Tastenbefehl nicht lesen</translation>
    </message>
    <message>
        <source>no response from %1</source>
        <translation>keine Antwort von %1</translation>
    </message>
</context>
<context>
    <name>KeyTable</name>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Rechts</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Digit %1</source>
        <translation>Ziffer %1</translation>
    </message>
    <message>
        <source>Dot</source>
        <translation>Punkt</translation>
    </message>
    <message>
        <source>Guide</source>
        <translation>Programmführer</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Zap</source>
        <translation>Zap</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>DVR</source>
        <translation>Aufnahmen</translation>
    </message>
    <message>
        <source>Live TV</source>
        <translation>Live-TV</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>BA</source>
        <translation>BA</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Ein/Aus</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>no device configured</source>
        <translation>kein Gerät eingerichtet</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>Choose device</source>
        <translation>Gerät wählen</translation>
    </message>
    <message>
        <source>looking for %1…</source>
        <translation>suche %1…</translation>
    </message>
    <message>
        <source>could not save the chosen box: %1</source>
        <translation>das gewählte Gerät konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Remote, no device configured</source>
        <translation>Fernbedienung, kein Gerät eingerichtet</translation>
    </message>
    <message>
        <source>Remote for %1</source>
        <translation>Fernbedienung für %1</translation>
    </message>
    <message>
        <source>Keys now go to %1</source>
        <translation>Tasten gehen jetzt an %1</translation>
    </message>
    <message>
        <source>Remembered devices</source>
        <translation>Gemerkte Geräte</translation>
    </message>
</context>
<context>
    <name>MediaPlayer</name>
    <message>
        <source>no device configured</source>
        <translation>kein Gerät eingerichtet</translation>
    </message>
</context>
<context>
    <name>RememberedDevices</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>RemoteBody</name>
    <message>
        <source>&apos;%1&apos; acknowledged</source>
        <translation>„%1“ bestätigt</translation>
    </message>
    <message>
        <source>&apos;%1&apos; failed: %2</source>
        <translation>„%1“ fehlgeschlagen: %2</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>%1 cannot be written</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>StatusLed</name>
    <message>
        <source>Status light: %1</source>
        <translation>Statusleuchte: %1</translation>
    </message>
    <message>
        <source>no key sent yet</source>
        <translation>noch keine Taste gesendet</translation>
    </message>
</context>
<context>
    <name>TunerLabel</name>
    <message>
        <source>Pebble</source>
        <translation>Pebble</translation>
    </message>
    <message>
        <source>Harbor</source>
        <translation>Harbor</translation>
    </message>
    <message>
        <source>Lantern</source>
        <translation>Lantern</translation>
    </message>
    <message>
        <source>Beacon</source>
        <translation>Beacon</translation>
    </message>
    <message>
        <source>%1 Tuners</source>
        <translation>%1 Tuner</translation>
    </message>
</context>
</TS>
