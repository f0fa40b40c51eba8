// The help text of a language laid out for the window: which words stand on
// which line and where across, and where the pictures lie.
//
// The resources hold each text as the window shows it: UTF-8 with LF line
// ends, one window line per text line, except
//  - "# Title": a heading, drawn in bold;
//  - "@picture ID X": the place of the picture resources/help/bitmapID.png,
//    X pixels from the left; it takes as many lines as its height needs;
//  - a line with tabs: a row of a table, its cells separated by the tabs.
//    Rows next to each other form one table, whose columns line up; a row
//    whose first cells are empty goes on in the cells of the row above.
#pragma once

#include <vector>

#include <QFont>
#include <QRect>
#include <QString>

#include "messages/Messages.h"

namespace zorbik {

struct HelpLayout {
    // A text drawn from `x` pixels across on its line.
    struct Piece {
        int x;
        QString text;
    };
    struct Line {
        std::vector<Piece> pieces;
        bool heading = false;
    };
    struct Picture {
        int bitmapId;
        QRect rect; // in pixels from the top of the first line
    };

    std::vector<Line> lines;
    std::vector<Picture> pictures;
    int width = 0; // of the widest line or picture, with the margins
};

// Lays out `text` in lines of `lineHeight` pixels, drawn in `font` (headings
// in its bold).
HelpLayout LayOutHelp(const QString& text, const QFont& font, int lineHeight);

// The help text of `language` from the resources; empty when missing.
QString LoadHelpText(UiLanguage language);

// The resource of picture `bitmapId`.
QString HelpPictureResource(int bitmapId);

} // namespace zorbik
