#include "help/HelpText.h"

#include <QFile>

#include "qtcommon/ResourceNames.h"
#include "codepage/CodePages.h"

namespace zorbik {

QStringList HelpLinesFromBytes(const QByteArray& bytes)
{
    QStringList lines;
    std::string line;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.append(QString::fromStdString(line));
            line.clear();
            ++i;
            continue;
        }
        line += CodePageCharUtf8(byte, kDefaultCodePage);
    }
    lines.append(QString::fromStdString(line));
    return lines;
}

QStringList LoadHelpText(UiLanguage language)
{
    QFile file(QString::fromLatin1(language == UiLanguage::German ? kHelpTextGermanResource
                                                                   : kHelpTextEnglishResource));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return HelpLinesFromBytes(file.readAll());
}

} // namespace zorbik
