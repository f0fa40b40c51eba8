// The two help texts as the help window relies on them: 389 lines joined by
// CR LF, nothing the window's text drawing would misread, the runs of empty
// lines on which the pictures are drawn, and the program's own words.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "messages/Messages.h"
#include "source/RowStore.h"
#include "source/RowText.h"

namespace zorbik {
namespace {

constexpr std::size_t kLineCount = 389;
constexpr std::size_t kMaxLineLength = 109;

// The lines (from 0) on which each help picture is drawn.
struct PictureRun {
    int bitmap;
    std::size_t first;
    std::size_t last;
};
constexpr PictureRun kPictureRuns[] = {
    {105, 23, 29},   {115, 57, 67},   {101, 74, 79},   {100, 93, 100},  {119, 119, 128},
    {118, 167, 179}, {120, 201, 210}, {116, 262, 279}, {121, 339, 342}, {122, 360, 371},
};

struct HelpFile {
    const char* name;
    UiLanguage language;
};
constexpr HelpFile kHelpFiles[] = {{"help_de.txt", UiLanguage::German}, {"help_en.txt", UiLanguage::English}};

std::string ReadHelpFile(const char* name)
{
    std::ifstream in(std::string(ZORBIK_SOURCE_DIR) + "/resources/help/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> SplitAtCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The program's texts are UTF-8; the help texts are Windows-1252. Only
// Latin-1 letters occur in the texts compared here.
std::string ToWindows1252(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
        } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            const auto trail = static_cast<unsigned char>(utf8[++i]);
            out.push_back(static_cast<char>(((lead & 0x03) << 6) | (trail & 0x3F)));
        } else {
            ADD_FAILURE() << "not a Latin-1 text: " << utf8;
        }
    }
    return out;
}

class HelpText : public ::testing::TestWithParam<HelpFile> {
protected:
    void SetUp() override
    {
        bytes_ = ReadHelpFile(GetParam().name);
        lines_ = SplitAtCrLf(bytes_);
    }

    std::string bytes_;
    std::vector<std::string> lines_;
};

TEST_P(HelpText, BreaksLinesWithCrLfOnly)
{
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (bytes_[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes_.size() && bytes_[i + 1] == '\n') << "lone CR at byte " << i;
        }
        if (bytes_[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes_[i - 1] == '\r') << "lone LF at byte " << i;
        }
    }
}

TEST_P(HelpText, HasItsLinesAndEndsWithALineBreak)
{
    EXPECT_EQ(lines_.size(), kLineCount);
    ASSERT_FALSE(lines_.empty());
    EXPECT_EQ(lines_.back(), "") << "the text must end with CR LF";
}

TEST_P(HelpText, HoldsNoTabZeroByteOrAmpersand)
{
    for (std::size_t n = 0; n < lines_.size(); ++n) {
        for (const char bad : {'\t', '\0', '&'})
            EXPECT_EQ(lines_[n].find(bad), std::string::npos) << "line " << n << " holds byte " << int(bad);
    }
}

TEST_P(HelpText, LinesFitTheWindow)
{
    for (std::size_t n = 0; n < lines_.size(); ++n)
        EXPECT_LE(lines_[n].size(), kMaxLineLength) << "line " << n;
}

TEST_P(HelpText, LeavesEveryPictureItsEmptyLines)
{
    ASSERT_EQ(lines_.size(), kLineCount);
    for (const PictureRun& run : kPictureRuns) {
        for (std::size_t n = run.first; n <= run.last; ++n)
            EXPECT_EQ(lines_[n], "") << "line " << n << " under picture " << run.bitmap;
        EXPECT_NE(lines_[run.first - 1], "") << "line before picture " << run.bitmap;
        EXPECT_NE(lines_[run.last + 1], "") << "line after picture " << run.bitmap;
    }
}

// The help quotes buttons, field types, row texts and messages; they must be
// the words the program really shows.
TEST_P(HelpText, QuotesTheProgramsOwnTexts)
{
    const UiLanguage language = GetParam().language;
    const bool german = language == UiLanguage::German;
    std::vector<std::string> quoted;
    for (const char* button : german ? std::vector<const char*>{"\xD6" "ffnen", "Mehr Bytes", "Konvertieren", "Abbruch",
                                                                 "Ende", "Hilfe"}
                                     : std::vector<const char*>{"Open", "More bytes", "Convert", "Cancel", "Quit",
                                                                 "Help"})
        quoted.emplace_back(button);
    for (const char* title : german ? std::vector<const char*>{"ByteNr.", "ANSI-Zeichen", "Datenfeld-Typ", "Hex-Byte"}
                                    : std::vector<const char*>{"ByteNr.", "ANSI-Character", "Datafield-type",
                                                               "Hex-Byte"})
        quoted.emplace_back(title);
    for (FieldType type : {FieldType::None, FieldType::Text, FieldType::BinInteger, FieldType::BinReal,
                           FieldType::DecimalNumber, FieldType::Bcd})
        quoted.push_back(ToWindows1252(FieldTypeText(type, language)));
    for (std::uint8_t byte : {0x00, 0x0A, 0x0D, 0x20})
        quoted.push_back(ToWindows1252(ByteCharText(byte, language)));
    for (int message : {MsgFileExists, MsgMissingLineBegin, MsgMissingLineEnd, MsgMissingColumnBegin,
                        MsgMissingColumnEnd, MsgKeepSource})
        quoted.push_back(ToWindows1252(LoadLocalisedString(message, language)));

    for (const std::string& text : quoted)
        EXPECT_NE(bytes_.find('"' + text + '"'), std::string::npos) << "not quoted: " << text;
}

INSTANTIATE_TEST_SUITE_P(HelpFiles, HelpText, ::testing::ValuesIn(kHelpFiles),
                         [](const ::testing::TestParamInfo<HelpFile>& info) {
                             return std::string(info.param.language == UiLanguage::German ? "German" : "English");
                         });

// The window draws the same pictures at the same lines in both languages.
TEST(HelpTexts, AgreeOnTheLinesAroundEveryPicture)
{
    const std::vector<std::string> german = SplitAtCrLf(ReadHelpFile("help_de.txt"));
    const std::vector<std::string> english = SplitAtCrLf(ReadHelpFile("help_en.txt"));
    ASSERT_EQ(german.size(), kLineCount);
    ASSERT_EQ(english.size(), kLineCount);
    for (const PictureRun& run : kPictureRuns) {
        for (std::size_t n = run.first - 1; n <= run.last + 1; ++n)
            EXPECT_EQ(german[n].empty(), english[n].empty()) << "line " << n << " at picture " << run.bitmap;
    }
}

} // namespace
} // namespace zorbik
