#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"
#include "support/Files.h"

#include <QtTest>
#include <functional>
#include <limits>

using namespace platform;
using Call = std::function<void()>;

Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(platform::ErrorCode)

// Lengths become integers rounded half to even, as the layout's rules expect; a value out of
// range or not a number must be an error, never wrap into a wild position.
class NumbersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        for (auto [value, expected] : {std::pair {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {77.5, 78},
                 {2.4999, 2}, {32767.4, 32767}, {-32768.0, -32768}})
            QTest::addRow("%g", value) << value << expected;
    }
    void roundsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(Numbers::ToLong(value), expected);
        QCOMPARE(Numbers::ToInteger(value), expected);
    }

    void outOfRangeOrInvalidIsAnError_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<ErrorCode>("code");
        using Limits = std::numeric_limits<std::int32_t>;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        auto row = [](const char* name, Call call, ErrorCode code = ErrorCode::Overflow) {
            QTest::newRow(name) << call << code;
        };
        row("32-bit half rounds past the top", [] { Numbers::ToLong(2147483647.5); });
        row("16-bit half rounds past the top", [] { Numbers::ToInteger(32767.5); });
        row("16-bit too small", [] { Numbers::ToInteger(-32768.6); });
        row("infinity", [] { Numbers::ToLong(std::numeric_limits<double>::infinity()); });
        row("NaN to integer", [nan] { Numbers::ToLong(nan); });
        row("NaN to single", [nan] { Numbers::ToSingle(nan); });
        row("INT_MIN / -1", [] { Numbers::IntDiv(Limits::min(), -1); });
        row("32-bit add", [] { Numbers::Add(Limits::max(), 1); });
        row("16-bit subtraction", [] { Numbers::Subtract16(-32768, 1); });
        row(
            "division by zero", [] { Numbers::IntDiv(77, 0); }, ErrorCode::DivisionByZero);
    }
    void outOfRangeOrInvalidIsAnError()
    {
        QFETCH(Call, call);
        QFETCH(ErrorCode, code);
        QCOMPARE(codeRaisedBy(call), code);
    }
};

QTEST_APPLESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
