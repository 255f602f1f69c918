#include <QtTest>
class TestFrmReminder : public QObject { Q_OBJECT };
QTEST_MAIN(TestFrmReminder)
#include "tst_frmreminder.moc"
