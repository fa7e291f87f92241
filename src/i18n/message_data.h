#pragma once

#include <QByteArray>
#include <stdexcept>
#include <string>

namespace vorna {

class MessageCatalogue;

// A fault in the catalogue's data file; the text names the line.
class MessageDataError : public std::runtime_error {
public:
    MessageDataError(int line, const std::string& what);
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

} // namespace vorna
