#include "help/HelpLayout.h"

#include <algorithm>

#include <QFile>
#include <QFontMetrics>
#include <QImageReader>
#include <QStringList>

#include "qtcommon/ResourceNames.h"

namespace zorbik {
namespace {

constexpr int kTextIndent = 4;
constexpr int kRightMargin = 8;

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

// Every column of a table begins where the widest cell of the column before
// it ends, after a gap; a row's last cell may run on to the right.
void LayOutTable(const QStringList& rows, const QFontMetrics& metrics, HelpLayout& layout)
{
    const int gap = metrics.horizontalAdvance(QStringLiteral("MM"));
    std::vector<QStringList> cells;
    std::vector<int> x{kTextIndent};
    for (const QString& row : rows) {
        cells.push_back(row.split(u'\t'));
        const QStringList& rowCells = cells.back();
        for (qsizetype k = 0; k + 1 < rowCells.size(); ++k) {
            if (x.size() < static_cast<std::size_t>(k) + 2)
                x.resize(static_cast<std::size_t>(k) + 2, 0);
            x[k + 1] = std::max(x[k + 1], metrics.horizontalAdvance(rowCells[k]));
        }
    }
    for (std::size_t k = 1; k < x.size(); ++k)
        x[k] += x[k - 1] + gap;
    for (const QStringList& rowCells : cells) {
        HelpLayout::Line line;
        for (qsizetype k = 0; k < rowCells.size(); ++k) {
            if (!rowCells[k].isEmpty())
                line.pieces.push_back({x[static_cast<std::size_t>(k)], rowCells[k]});
        }
        layout.lines.push_back(std::move(line));
    }
}

// The picture stands half a line below the top of its room and leaves at
// least half a line free under it. A line that names no picture of the
// resources takes no room.
void AddPicture(const QString& line, int lineHeight, HelpLayout& layout)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    bool idOk = false;
    bool xOk = false;
    const int id = words.value(1).toInt(&idOk);
    const int x = words.value(2).toInt(&xOk);
    const QSize size = idOk ? QImageReader(HelpPictureResource(id)).size() : QSize();
    if (!xOk || size.isEmpty())
        return;
    const int top = static_cast<int>(layout.lines.size()) * lineHeight + lineHeight / 2;
    layout.pictures.push_back({id, QRect(QPoint(x, top), size)});
    layout.lines.resize(layout.lines.size() + static_cast<std::size_t>((size.height() + lineHeight - 1) / lineHeight + 1));
}

} // namespace

HelpLayout LayOutHelp(const QString& text, const QFont& font, int lineHeight)
{
    HelpLayout layout;
    const QFontMetrics metrics(font);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (qsizetype i = 0; i < lines.size();) {
        const QString& line = lines[i];
        if (line.contains(u'\t')) {
            qsizetype end = i + 1;
            while (end < lines.size() && lines[end].contains(u'\t'))
                ++end;
            LayOutTable(lines.mid(i, end - i), metrics, layout);
            i = end;
            continue;
        }
        if (line.startsWith(u"@picture ")) {
            AddPicture(line, lineHeight, layout);
        } else {
            HelpLayout::Line out;
            out.heading = line.startsWith(u"# ");
            if (!line.isEmpty())
                out.pieces.push_back({kTextIndent, out.heading ? line.mid(2) : line});
            layout.lines.push_back(std::move(out));
        }
        ++i;
    }

    const QFontMetrics boldMetrics(Bold(font));
    for (const HelpLayout::Line& line : layout.lines) {
        for (const HelpLayout::Piece& piece : line.pieces) {
            const int advance = (line.heading ? boldMetrics : metrics).horizontalAdvance(piece.text);
            layout.width = std::max(layout.width, piece.x + advance + kRightMargin);
        }
    }
    for (const HelpLayout::Picture& picture : layout.pictures)
        layout.width = std::max(layout.width, picture.rect.right() + 1 + kRightMargin);
    return layout;
}

QString LoadHelpText(UiLanguage language)
{
    QFile file(QString::fromLatin1(language == UiLanguage::German ? kHelpTextGermanResource
                                                                   : kHelpTextEnglishResource));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString HelpPictureResource(int bitmapId)
{
    return QStringLiteral(":/help/bitmap%1.png").arg(bitmapId);
}

} // namespace zorbik
