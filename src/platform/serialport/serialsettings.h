#pragma once
// The settings string of the serial-port control: "baud,parity,data bits,stop
// bits", for example "9600,n,8,1". Parity is one letter n, e, o, m or s (either
// case); data bits 5 to 8; stop bits 1, 1.5 or 2; the baud rate a whole number
// from 50 to 4000000. Blanks around a field are allowed; anything else is refused.

#include <QString>
#include <optional>

struct SerialSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const SerialSettings &) const = default;
};

// The settings a string gives, or nothing when it is malformed.
std::optional<SerialSettings> parseSerialSettings(const QString &text);
// The string of settings, in the form parseSerialSettings reads ("9600,n,8,1").
QString serialSettingsText(const SerialSettings &s);
