#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"

#include <QtTest>
#include <limits>

using namespace platform;

class NumbersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toLongRoundsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5 down to 0") << 0.5 << 0;
        QTest::newRow("1.5 up to 2") << 1.5 << 2;
        QTest::newRow("2.5 down to 2") << 2.5 << 2;
        QTest::newRow("-2.5 to -2") << -2.5 << -2;
        QTest::newRow("-3.5 to -4") << -3.5 << -4;
        QTest::newRow("76.5 to 76") << 76.5 << 76;
        QTest::newRow("77.5 to 78") << 77.5 << 78;
        QTest::newRow("2.4999 to 2") << 2.4999 << 2;
    }
    void toLongRoundsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(Numbers::ToLong(value), expected);
    }

    void conversionsReportOverflowInsteadOfWrapping_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("32-bit too large") << 0;
        QTest::newRow("16-bit too large") << 1;
        QTest::newRow("16-bit too small") << 2;
        QTest::newRow("16-bit from a 32-bit value") << 3;
        QTest::newRow("infinity") << 4;
        QTest::newRow("NaN to single") << 5;
        QTest::newRow("single overflow") << 6;
        QTest::newRow("INT_MIN / -1") << 7;
        QTest::newRow("32-bit add") << 8;
        QTest::newRow("16-bit subtraction") << 9;
    }
    void conversionsReportOverflowInsteadOfWrapping()
    {
        QFETCH(int, which);
        try {
            switch (which) {
            case 0:
                Numbers::ToLong(2147483647.5 + 1);
                break;
            case 1:
                Numbers::ToInteger(32767.5);
                break;
            case 2:
                Numbers::ToInteger(-32768.6);
                break;
            case 3:
                Numbers::ToInteger(std::int32_t {40000});
                break;
            case 4:
                Numbers::ToLong(std::numeric_limits<double>::infinity());
                break;
            case 5:
                Numbers::ToSingle(std::numeric_limits<double>::quiet_NaN());
                break;
            case 6:
                Numbers::ToSingle(1e300);
                break;
            case 7:
                Numbers::IntDiv(std::numeric_limits<std::int32_t>::min(), -1);
                break;
            case 8:
                Numbers::Add(std::numeric_limits<std::int32_t>::max(), 1);
                break;
            case 9:
                Numbers::Subtract16(-32768, 1);
                break;
            }
            QFAIL("expected an overflow error");
        } catch (const Error& error) {
            QCOMPARE(error.code(), ErrorCode::Overflow);
            QCOMPARE(error.description(), QStringLiteral("溢出"));
        }
    }

    void sixteenBitLimitsThemselvesConvert()
    {
        QCOMPARE(Numbers::ToInteger(32767.4), std::int16_t {32767});
        QCOMPARE(Numbers::ToInteger(-32768.0), std::int16_t {-32768});
        QCOMPARE(Numbers::Subtract16(1, 1), std::int16_t {0});
        QCOMPARE(Numbers::Negate16(32767), std::int16_t {-32767});
    }

    void integerDivisionTruncatesTowardZero()
    {
        QCOMPARE(Numbers::IntDiv(77, 12), 6);
        QCOMPARE(Numbers::IntDiv(-7, 2), -3);
        QCOMPARE(Numbers::IntDiv(7, -2), -3);
    }

    void divisionByZeroIsError11()
    {
        try {
            Numbers::IntDiv(77, 0);
            QFAIL("expected an error");
        } catch (const Error& error) {
            QCOMPARE(error.number(), 11);
        }
    }
};

QTEST_APPLESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
