#include "encryption/encryption.h"
#include "encryption/envelope.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmark {
namespace {

const std::string kBegin = "-- begin Quillmark encrypted text (www.quillmark.org/) :";
const std::string kEnd = "-- end Quillmark encrypted text --";

TEST(Envelope, WrapsWithCrLfAndNothingAfterTheEndLine) {
    EXPECT_EQ(WrapEncrypted("abc"), kBegin + "\r\nabc\r\n" + kEnd);
    EXPECT_EQ(WrapEncrypted(""), kBegin + "\r\n\r\n" + kEnd);
    for (const std::string& text : std::vector<std::string>{"", "abc", "a\r\nb\r\n", "\n", kEnd, kBegin})
        EXPECT_EQ(UnwrapEncrypted(WrapEncrypted(text)), text) << text;
}

TEST(Envelope, UnwrapsLfLineEndsAndATrailingLineEnd) {
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\nabc\n" + kEnd), "abc");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\r\nabc\n" + kEnd), "abc");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\nabc\r\n" + kEnd + "\r\n"), "abc");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\nabc\n" + kEnd + "\n"), "abc");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\r\nabc"), "abc");
    // The end line only counts on a line of its own.
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\r\nabc" + kEnd), "abc" + kEnd);
}

TEST(Envelope, OnlyALeadingBeginLineIsRemoved) {
    const std::string wrapped = WrapEncrypted("abc");
    EXPECT_EQ(UnwrapEncrypted("\r\n" + wrapped), "\r\n" + wrapped);
    EXPECT_EQ(UnwrapEncrypted(" " + wrapped), " " + wrapped);
    EXPECT_EQ(UnwrapEncrypted("-- BEGIN Quillmark encrypted text (www.quillmark.org/) :\r\nabc"),
              "-- BEGIN Quillmark encrypted text (www.quillmark.org/) :\r\nabc");
    EXPECT_EQ(UnwrapEncrypted(""), "");
    EXPECT_EQ(UnwrapEncrypted("abc\r\n" + kEnd), "abc\r\n" + kEnd);

    EXPECT_EQ(UnwrapEncrypted(kBegin), "");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\n"), "");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "\r\n"), "");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "x"), "");
    EXPECT_EQ(UnwrapEncrypted(kBegin + "xyabc"), "abc");
}

TEST(Envelope, PasswordTextSurvivesTheMailRoad) {
    const std::string text = "Line one\r\nLine two: $10 & 50%!\r\n";
    const std::string mailed = WrapEncrypted(EncryptText(text, "k e y"));
    EXPECT_EQ(DecryptText(UnwrapEncrypted(mailed), "k e y"), text);
    // The body alone, without the envelope lines, decrypts too.
    EXPECT_EQ(DecryptText(UnwrapEncrypted(EncryptText(text, "k e y")), "k e y"), text);

    // A mail system that turned every CR LF into LF changes only the line ends.
    std::string lf = mailed;
    for (std::size_t pos; (pos = lf.find("\r\n")) != std::string::npos;)
        lf.erase(pos, 1);
    EXPECT_EQ(DecryptText(UnwrapEncrypted(lf), "k e y"), "Line one\nLine two: $10 & 50%!\n");

    // Text in front of the begin line makes the envelope part of the ciphertext.
    const std::string decoded = DecryptText(UnwrapEncrypted("\r\n" + mailed), "k e y");
    EXPECT_EQ(decoded.size(), mailed.size() + 2);
    EXPECT_EQ(decoded.find("Line one"), std::string::npos);
}

} // namespace
} // namespace quillmark
