#pragma once

#include <QtTest>

// The calculator's key table: keys typed after the window opens (or after C) and the readout after
// the last key. Columns "keys" and "readout"; "7 / 0 =" shows the divide-by-zero message on the way.
inline void addKeyTableRows()
{
    QTest::newRow("add") << "5 + 3 ="
                         << "8.";
    QTest::newRow("operator finishes the pending one") << "5 + 3 +"
                                                       << "8.";
    QTest::newRow("chain") << "5 + 3 + 2 ="
                           << "10.";
    QTest::newRow("left to right, no precedence") << "2 + 3 X 4 ="
                                                  << "20.";
    QTest::newRow("minus starts a negative number") << "-"
                                                    << "-0.";
    QTest::newRow("negative number") << "- 5"
                                     << "-5.";
    QTest::newRow("second minus changes nothing") << "- -"
                                                  << "-0.";
    QTest::newRow("add a negative") << "5 + - 3 ="
                                    << "2.";
    QTest::newRow("subtract a negative") << "5 - - 3 ="
                                         << "8.";
    QTest::newRow("operator after = continues") << "5 + 3 = - 2 ="
                                                << "6.";
    QTest::newRow("point") << "."
                           << "0.";
    QTest::newRow("point then digit") << ". 5"
                                      << "0.5";
    QTest::newRow("minus then point") << "- ."
                                      << "-0.";
    QTest::newRow("leading zero stays") << "0 5"
                                        << "05.";
    QTest::newRow("digits then point") << "1 2 . 5"
                                       << "12.5";
    QTest::newRow("second point changes nothing") << "1 2 . 5 ."
                                                  << "12.5";
    QTest::newRow("percent shows the fraction") << "200 + 10 %"
                                                << "0.1";
    QTest::newRow("percent of the first operand") << "200 + 10 % ="
                                                  << "20.";
    QTest::newRow("percent alone") << "10 %"
                                   << "0.1";
    QTest::newRow("ten thirds") << "10 / 3 ="
                                << "3.3333333333";
    QTest::newRow("quarter") << "1 / 4 ="
                             << "0.25";
    QTest::newRow("past eleven nines") << "99999999999 + 1 ="
                                       << "1.00E+11";
    QTest::newRow("divide by zero") << "7 / 0 ="
                                    << "7.";
    QTest::newRow("CE keeps the pending operation") << "5 + 3 CE 4 ="
                                                    << "9.";
    QTest::newRow("CE then = discards the first") << "5 + 3 CE ="
                                                  << "0.";
    QTest::newRow("= does not repeat") << "5 + 3 = ="
                                       << "8.";
}
