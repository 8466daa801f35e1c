// Time text typed into the split editor: what is taken, what it means, and why the rest is
// refused.
#include <gtest/gtest.h>

#include <tuple>

#include "TimeTextValidator.h"

TEST(TimeTextValidator, ReadsTheTimeOrSaysWhyNot) {
    using V = QValidator;
    // clang-format off
    const std::tuple<const char*, V::State, std::int32_t> cases[] = {
        {"3:00.5", V::Acceptable, 18050},  // one digit after the point is tenths
        {"3:00.05", V::Acceptable, 18005}, {"1:02:03.4", V::Acceptable, 372340},
        {"62:03.40", V::Acceptable, 372340},  // the first field may pass 59
        {"40.10", V::Acceptable, 4010}, {"90", V::Acceptable, 9000},
        {" 1:00 ", V::Acceptable, 6000}, {"", V::Acceptable, 0},  // the empty text: no time
        {"5965:13:56.47", V::Acceptable, 2147483647}, {"5965:13:56.48", V::Invalid, 0},
        {"99999999999", V::Invalid, 0}, {"4m00s", V::Invalid, 0}, {"3:75.00", V::Invalid, 0},
        {"1:60:00", V::Invalid, 0}, {"1.234", V::Invalid, 0}, {"1.2.3", V::Invalid, 0},
        {"1:2:3:4", V::Invalid, 0}, {":30", V::Invalid, 0},
        {"-5.00", V::Invalid, 0},  // a split time is never negative
        {"3:", V::Intermediate, 0}, {"3:0", V::Intermediate, 0}, {"3:00.", V::Intermediate, 0},
    };
    // clang-format on
    for (const auto& [text, verdict, value] : cases) {
        SCOPED_TRACE(text);
        const auto reading = TimeTextValidator::Read(QString::fromUtf8(text), false);
        EXPECT_EQ(reading.Verdict, verdict);
        EXPECT_EQ(reading.Value, value);
        EXPECT_EQ(reading.Why.isEmpty(), verdict == V::Acceptable) << reading.Why.toStdString();
    }
    EXPECT_EQ(TimeTextValidator::Read("4m00s", false).Why,
              "Use digits, ':' and '.' only, as in 1:02:03.45");
}

TEST(TimeTextValidator, AStartOffsetMayBeNegative) {
    EXPECT_EQ(TimeTextValidator::Read("-0.33", /*AllowNegative=*/true).Value, -33);
    EXPECT_EQ(TimeTextValidator::Read("-", /*AllowNegative=*/true).Verdict,
              QValidator::Intermediate);
}

TEST(TimeTextValidator, ARefusedKeystrokeIsReportedWithItsFault) {
    TimeTextValidator validator;
    QString said;
    QObject::connect(&validator, &TimeTextValidator::refused,
                     [&said](const QString& why) { said = why; });
    QString text = "3:75";
    int pos = 4;
    EXPECT_EQ(validator.validate(text, pos), QValidator::Invalid);
    EXPECT_EQ(said, "Seconds go up to 59 (75 here)");
}
