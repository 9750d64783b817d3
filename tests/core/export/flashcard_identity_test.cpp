// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/flashcard_identity.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

struct ChecksumCase {
    const char16_t* field;
    const char16_t* stripped;
    qint64 checksum; // first 8 hex digits of the SHA-1 of the stripped text
};

class FieldChecksumTable : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(FieldChecksumTable, IsTheFlashcardProgramsOwn)
{
    const QString field = QString::fromUtf16(GetParam().field);
    EXPECT_EQ(strippedFieldText(field), QString::fromUtf16(GetParam().stripped));
    EXPECT_EQ(fieldChecksum(field), GetParam().checksum);
}

INSTANTIATE_TEST_SUITE_P(Examples, FieldChecksumTable,
                         ::testing::Values(ChecksumCase{u"Hello", u"Hello", 4160724619},
                                           ChecksumCase{u"<b>Hel</b><!-- x -->lo", u"Hello",
                                                        4160724619},
                                           ChecksumCase{u"a &amp; b", u"a & b", 2463288064},
                                           ChecksumCase{u"你好。", u"你好。", 705654302}));

} // namespace
