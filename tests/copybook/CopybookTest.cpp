#include <gtest/gtest.h>

#include "copybook/Copybook.h"

namespace zorbik {
namespace {

// The record as "LENGTH: NAME@OFFSET+WIDTH Type options; …", then "| " and
// the notes.
std::string Read(const std::string& text, bool mainframe = false)
{
    const Copybook copybook = ReadCopybook(text, {mainframe, 0}, UiLanguage::English);
    EXPECT_FALSE(copybook.error.Failed()) << copybook.error.message;
    std::string out = std::to_string(copybook.description.length) + ":";
    for (const DescribedField& field : copybook.description.fields)
        out += " " + field.name + "@" + std::to_string(field.offset) + "+" + std::to_string(field.width) + " " +
               std::string(FieldTypeWord(field.type)) + FieldOptionWords(field.type, field.options) + ";";
    for (const std::string& note : copybook.notes)
        out += " | " + note;
    return out;
}

TEST(Copybook, LaysOutEachClauseAsTheCompilersDo)
{
    const std::pair<std::string, std::string> rows[] = {
        // Fixed format: sequence numbers, comments, continued words, columns 73 to 80 ignored.
        {"000100 01 R." + std::string(60, ' ') + "SEQ00001\n" +
         std::string("000200* a comment\n000300/ a page\n      D 05 DEBUG PIC X.\n000400     05 NA\n"
         "000500-      ME PIC X(5).") + std::string(47, ' ') + "IGNORED.\n",
         "5: NAME@0+5 Text;"},
        {"*> free format\n01 R. *> a record\n  05 A PIC XXX. 05 B PIC A(2)X.\n", "6: A@0+3 Text; B@3+3 Text;"},
        {">>SOURCE FORMAT IS FREE\n01 R.\n    05 A PIC 9(4)V99.\n", "6: A@0+6 Zoned scale=2;"},
        {"       01 R.\n       05 T PIC X(3) VALUE 'ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUV\n"
         "      -    'IJ'.\n       05 U PIC X.\n",
         "4: T@0+3 Text; U@3+1 Text;"},
        {"01 R. 05 A PIC S9(5)V99. 05 B PIC S99 SIGN LEADING. 05 C PIC S9(3)V9 SIGN TRAILING SEPARATE CHARACTER.\n"
         "05 D PIC S9 LEADING SEPARATE. 05 E PIC PPP99. 05 F PIC SV9(3).",
         "21: A@0+7 Zoned scale=2; B@7+2 Zoned sign=leading; C@9+5 Zoned scale=1 sign=separate-trailing; "
         "D@14+2 Zoned sign=separate-leading; E@16+2 Zoned scale=5; F@18+3 Zoned scale=3;"},
        {"01 R. 05 A PIC -ZZ,ZZ9.99. 05 B PIC $***9CR. 05 C PIC 99/99/99. 05 D PIC XXBXX0.",
         "31: A@0+10 Text; B@10+7 Text; C@17+8 Text; D@25+6 Text;"},
        {"01 R. 05 A PIC S9(4) COMP. 05 B PIC 9(9) BINARY. 05 C PIC S9(10)V99 USAGE IS COMP-4.\n"
         "05 D PIC S9(4) COMPUTATIONAL-5. 05 E PIC 9(18) COMP-5.",
         "24: A@0+2 Integer big; B@2+4 Integer big unsigned; C@6+8 Integer big scale=2; D@14+2 Integer; "
         "E@16+8 Integer unsigned;"},
        {"01 R. 05 A PIC S9(7)V99 COMP-3. 05 B PIC 9(4) PACKED-DECIMAL. 05 C COMP-1. 05 D USAGE COMP-2.",
         "20: A@0+5 Packed scale=2; B@5+3 Packed unsigned; C@8+4 BinReal; D@12+8 BinReal;"},
        // Groups hand their usage and sign down.
        {"01 R. 05 G COMP-3. 10 A PIC S9(3). 10 B PIC S9(4). 05 H SIGN LEADING SEPARATE. 10 C PIC S9.",
         "7: A@0+2 Packed; B@2+3 Packed; C@5+2 Zoned sign=separate-leading;"},
        {"01 R. 05 G OCCURS 2 TIMES INDEXED BY I. 10 A PIC X. 10 B PIC 9 OCCURS 2 ASCENDING KEY IS K.\n"
         "05 C PIC X.",
         "7: A-1@0+1 Text; B-1-1@1+1 Zoned; B-1-2@2+1 Zoned; A-2@3+1 Text; B-2-1@4+1 Zoned; B-2-2@5+1 Zoned; "
         "C@6+1 Text;"},
        {"01 R. 05 N PIC 9. 05 L PIC X OCCURS 1 TO 3 TIMES DEPENDING ON N.",
         "4: N@0+1 Zoned; L-1@1+1 Text; L-2@2+1 Text; L-3@3+1 Text; | line 1: L OCCURS … DEPENDING ON N laid out at "
         "its maximum of 3; records of varying length are not read"},
        {"01 R. 05 A PIC X(4). 05 B REDEFINES A PIC 9(4). 05 FILLER PIC XX. 05 PIC X. 05 C PIC X.\n"
         "66 ALIAS RENAMES A THRU C. 88 IS-X VALUE 'X' 'Y' THRU 'Z'.",
         "8: A@0+4 Text; C@7+1 Text; | line 1: B (bytes 0–3) redefines A and is not converted | line 2: RENAMES "
         "(ALIAS) ignored"},
        {"01 R. 05 A PIC X. 05 B PIC S9(9) COMP SYNC. 05 C PIC X. 05 D COMP-2 SYNCHRONIZED LEFT.",
         "24: A@0+1 Text; B@4+4 Integer big; C@8+1 Text; D@16+8 BinReal; | line 1: 3 slack bytes before B (SYNC) | "
         "line 1: 7 slack bytes before D (SYNC)"},
        {"01 R. 05 A PIC X(3) VALUE SPACES JUSTIFIED RIGHT. 05 B PIC 9(3) VALUE ZERO BLANK WHEN ZERO EXTERNAL.\n"
         "05 C PIC S9V9 VALUE -1.5 GLOBAL. 05 D PIC X VALUE X'00'.",
         "9: A@0+3 Text; B@3+3 Zoned; C@6+2 Zoned scale=1; D@8+1 Text;"},
        // Copybooks without an 01 of their own, several records, a name twice.
        {"05 A PIC X. 05 G. 10 A PIC X.", "2: A@0+1 Text; A_2@1+1 Text; | line 1: the name A occurs more than once; "
                                            "this column is named A_2"},
        {"01 R. 05 A PIC X. 01 S. 05 B PIC X(4).", "4: A@0+1 Text; | line 1: another record S (bytes 0–3) is not converted"},
        {"77 A PIC 9(3).", "3: A@0+3 Zoned;"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(Read(text), expected) << text;
}

TEST(Copybook, MainframeTakesEbcdicAndItsByteOrder)
{
    const std::string text = "01 R. 05 A PIC S9(3). 05 B PIC S9(4) COMP-5. 05 C COMP-1. 05 D COMP-2. 05 E PIC X.";
    EXPECT_EQ(Read(text, true),
              "18: A@0+3 Zoned ebcdic; B@3+2 Integer big; C@5+4 BinReal big ibm; D@9+8 BinReal big ibm; E@17+1 Text;");
    EXPECT_EQ(ReadCopybook(text, {true, 0}, UiLanguage::English).description.settings.codePage, 37);
    EXPECT_EQ(ReadCopybook(text, {true, 273}, UiLanguage::English).description.settings.codePage, 273);
}

TEST(Copybook, RefusesFaultsAndHostileTextsNamingLineAndColumn)
{
    struct Row {
        std::string text;
        MessageId id;
        int line, column;
    };
    std::string nested;
    for (int level = 1; level < 49; ++level)
        nested += std::to_string(level) + " G" + std::to_string(level) + " OCCURS 2.\n";
    const Row rows[] = {
        {"01 R.\n" + std::string(1 << 20, ' '), MessageId::CopybookLineTooLong, 2, 4097},
        {std::string(9 << 20, '\n'), MessageId::CopybookTooLarge, 0, 0},
        {"01 R. 05 A PIC 9(1000000000).", MessageId::CopybookTooManyDigits, 1, 16},
        {"01 R. 05 A PIC S9(19) COMP.", MessageId::CopybookTooManyDigits, 1, 16},
        {"01 R.\n05 A PIC X(9) OCCURS 99999999.", MessageId::CopybookRecordTooLong, 2, 1},
        {nested + "50 X PIC X.", MessageId::CopybookBadLevel, 49, 1},
        {nested + "49 X PIC X.", MessageId::CopybookRecordTooLong, 24, 1},
        {"01 R. 05 A PIC X(70000).\n05 B PIC X OCCURS 70000.", MessageId::CopybookTooManyFields, 2, 1},
        {"01 R. 05 A PIC X VALUE 'open\n05 B PIC X.", MessageId::CopybookOpenLiteral, 1, 24},
        {"COPY OTHER.", MessageId::CopybookExpectedLevel, 1, 1},
        {"01 R. 05 A-$ PIC X.", MessageId::CopybookBadName, 1, 10},
        {"01 R. 05 A PIC X WIDE.", MessageId::CopybookUnknownClause, 1, 18},
        {"01 R. 05 A PIC.", MessageId::CopybookMissingOperand, 1, 12},
        {"01 R. 05 A USAGE INDEX.", MessageId::CopybookUnknownUsage, 1, 18},
        {"01 R. 05 A PIC 9(3.", MessageId::CopybookBadPicture, 1, 16},
        {"01 R. 05 A PIC X(3) COMP-3.", MessageId::CopybookBadPicture, 1, 16},
        {"01 R. 05 A PIC 99PP.", MessageId::CopybookScaleRight, 1, 16},
        {"01 R. 05 A. 05 B PIC X.", MessageId::CopybookNoPicture, 1, 7},
        {"01 R. 05 A PIC X.\n 10 B PIC X.", MessageId::CopybookPictureAndItems, 2, 2},
        {"01 R. 05 A PIC X. 05 B REDEFINES Z PIC X.", MessageId::CopybookUnknownRedefines, 1, 34},
        {"01 R. 05 G OCCURS 2. 10 A PIC X. 10 B PIC S9(4) COMP SYNC.", MessageId::CopybookSyncInTable, 1, 34},
        {"01 R. 05 FILLER PIC X.", MessageId::CopybookNoFields, 0, 0},
    };
    for (const Row& row : rows) {
        const Copybook copybook = ReadCopybook(row.text, {}, UiLanguage::German);
        EXPECT_EQ(static_cast<int>(copybook.error.id), static_cast<int>(row.id)) << row.text.substr(0, 60);
        EXPECT_EQ(copybook.error.line, row.line) << row.text.substr(0, 60);
        EXPECT_EQ(copybook.error.column, row.column) << row.text.substr(0, 60);
        EXPECT_TRUE(copybook.description.fields.empty());
    }
    EXPECT_EQ(ReadCopybook("01 R. 05 A PIC X WIDE.", {}, UiLanguage::German).error.message,
              "Copybook Zeile 1, Spalte 18: unbekannte Klausel „WIDE“");
}

} // namespace
} // namespace zorbik
