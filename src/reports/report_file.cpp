#include "report_file.h"

#include "whole_file.h"

namespace vorna {

void write_report_file(const QString& path, const QByteArray& text) {
    writeWholeFile(path, text + QByteArrayLiteral("\r\n"));
}

} // namespace vorna
