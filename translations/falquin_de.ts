<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DPad</name>
    <message>
        <location filename="../qml/DPad.qml" line="34"/>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <location filename="../qml/DPad.qml" line="51"/>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <location filename="../qml/DPad.qml" line="67"/>
        <source>Left</source>
        <translation>Links</translation>
    </message>
    <message>
        <location filename="../qml/DPad.qml" line="83"/>
        <source>Right</source>
        <translation>Rechts</translation>
    </message>
    <message>
        <location filename="../qml/DPad.qml" line="96"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>DevicePicker</name>
    <message>
        <location filename="../qml/DevicePicker.qml" line="15"/>
        <source>Pebble</source>
        <translation>Pebble</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="17"/>
        <source>Harbor</source>
        <translation>Harbor</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="19"/>
        <source>Lantern</source>
        <translation>Lantern</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="21"/>
        <source>Beacon</source>
        <translation>Beacon</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="23"/>
        <source>%1 Tuners</source>
        <translation>%1 Tuner</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="71"/>
        <source>Orvantide devices</source>
        <translation>Orvantide-Geräte</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="88"/>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="137"/>
        <source>(unnamed)</source>
        <translation>(ohne Namen)</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="161"/>
        <source>scanning…</source>
        <translation>Suche läuft…</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="161"/>
        <source>no devices found</source>
        <translation>keine Geräte gefunden</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="174"/>
        <source>Or enter an IP address</source>
        <translation>Oder eine IP-Adresse eingeben</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="208"/>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <location filename="../qml/DevicePicker.qml" line="217"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>KeySender</name>
    <message>
        <location filename="../keys/KeySender.cpp" line="43"/>
        <source>no device configured</source>
        <translation>kein Gerät eingerichtet</translation>
    </message>
    <message>
        <location filename="../keys/KeySender.cpp" line="47"/>
        <source>invalid IP address &apos;%1&apos;</source>
        <translation>ungültige IP-Adresse „%1“</translation>
    </message>
    <message>
        <location filename="../keys/KeySender.cpp" line="52"/>
        <source>key string too long</source>
        <translation>Tastenbefehl zu lang</translation>
    </message>
    <message>
        <location filename="../keys/KeySender.cpp" line="60"/>
        <source>send failed: %1</source>
        <translation>Senden fehlgeschlagen: %1</translation>
    </message>
    <message>
        <location filename="../keys/KeySender.cpp" line="101"/>
        <source>device could not parse the key string</source>
        <translation>das Gerät konnte den Tastenbefehl nicht lesen</translation>
    </message>
    <message>
        <location filename="../keys/KeySender.cpp" line="114"/>
        <source>no response from %1</source>
        <translation>keine Antwort von %1</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <location filename="../qml/Main.qml" line="75"/>
        <source>no device configured</source>
        <translation>kein Gerät eingerichtet</translation>
    </message>
    <message>
        <location filename="../qml/Main.qml" line="266"/>
        <source>&apos;%1&apos;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
</context>
<context>
    <name>NumberPad</name>
    <message>
        <location filename="../qml/NumberPad.qml" line="25"/>
        <location filename="../qml/NumberPad.qml" line="46"/>
        <source>Digit %1</source>
        <translation>Ziffer %1</translation>
    </message>
    <message>
        <location filename="../qml/NumberPad.qml" line="36"/>
        <source>Dot</source>
        <translation>Punkt</translation>
    </message>
    <message>
        <location filename="../qml/NumberPad.qml" line="56"/>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>RemoteBody</name>
    <message>
        <location filename="../qml/RemoteBody.qml" line="74"/>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="84"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="94"/>
        <source>Power</source>
        <translation>Ein/Aus</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="111"/>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="126"/>
        <source>DVR</source>
        <translation>Aufnahmen</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="127"/>
        <source>Live TV</source>
        <translation>Live-TV</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="128"/>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="129"/>
        <source>BA</source>
        <translation>BA</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="163"/>
        <source>Guide</source>
        <translation>Programmführer</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="178"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="208"/>
        <source>Zap</source>
        <translation>Zap</translation>
    </message>
    <message>
        <location filename="../qml/RemoteBody.qml" line="223"/>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
</context>
</TS>
