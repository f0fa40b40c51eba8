// Every picture the program shows, one function each. The sizes are fixed:
// the main window and the help window place the pictures by pixel.
#pragma once

#include <QImage>

namespace makepictures {

QImage MakeMainPicture(); // picture107.png, 199 x 341, right of the main window
QImage MakeIcon(int size); // icons/zorbik-SIZE.png, the program's icon for desktop menus

// Help pictures, named after their bitmap numbers.
QImage MakeHelp105(); // file header and records become worksheet rows
QImage MakeHelp115(); // the byte list with its four columns
QImage MakeHelp101(); // the six markers
QImage MakeHelp100(); // the left-click cycle of the markers
QImage MakeHelp119(); // the right-click cycle of the field types
QImage MakeHelp118(); // byte marks pick single bytes of a column
QImage MakeHelp120(); // field types: bytes and the cells they give
QImage MakeHelp116(); // a record marked behind the file header, and its sheet
QImage MakeHelp121(); // a validation message
QImage MakeHelp122(); // the buttons and the settings row

} // namespace makepictures
