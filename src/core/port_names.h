#pragma once

#include <QString>
#include <QStringList>

namespace vorna {

// Serial ports are numbered 1 .. 99 as the user knows them ("COM12"). The environment variable
// VORNA_COM<n> names the device of port n when set (tests and the demo point numbers at
// pseudo-terminals); otherwise 1-32 are /dev/ttyS0..31, 33-64 /dev/ttyUSB0..31 and 65-99
// /dev/ttyACM0..34.
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 99;

// The device path of port n; empty when n is outside 1 .. 99.
QString devicePathForPort(int n);

// "COM%d" of port n.
QString portNameForNumber(int n);

// The number in a name of the form "COM<n>" (leading blanks and trailing text ignored, case
// insensitive), or 0 when the text does not start with COM and a number in 1 .. 99.
int portNumberFromName(const QString& name);

// The device for what a user typed: a port name ("COM12") or a device path used as it is.
QString deviceForPortText(const QString& text);

// True when the device of port n exists and is a character device (symbolic links followed).
bool portExists(int n);

// Names "COM<n>" of the ports whose device exists, in number order.
QStringList existingPortNames();

} // namespace vorna
