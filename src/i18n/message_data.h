#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <string>

namespace vorna {

class MessageCatalogue;

// A fault in a text table's data file; the text names the file and the line.
class MessageDataError : public std::runtime_error {
public:
    MessageDataError(int line, const std::string& what, const char* file = "messages.tsv");
    int line() const { return line_; }

private:
    int line_;
};

// The catalogue's data file as compiled into the program (UTF-8 text).
QByteArray builtInMessageData();

// Fills messages first..last of the catalogue from a data file in the format of messages.tsv,
// message after message in the order of the file, every language of a message in turn. Rows
// outside the range are not examined beyond their number. Throws MessageDataError at the first
// fault met; the entries filled before it keep their texts.
void fillMessages(MessageCatalogue& catalogue, int first, int last, const QByteArray& data);

// One text of a data file with its escapes undone (\t tab, \n line feed, \r carriage return,
// \\ backslash, \s blank); a blank at either end must be written \s and every character must fit
// ISO 8859-1. column is 0-based; faults name line and column, in `file`.
QString decodeTextField(QStringView raw, int line, int column, const char* file);

} // namespace vorna
