#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/DisplayComponents.h"
#include "appearance/widgets/ColorWrapper.h"
#include "widgets/support/ProfitWindowFixture.h"
#include <QtTest>
using namespace gs;
class ZzGrabTest : public QObject {
    Q_OBJECT
private slots:
    void grab()
    {
        RegisterColorWrapper();
        test::ProfitWindowFixture fx;
        const char* names[] = {"Müller GmbH", "Schmidt KG", "Bauer", "Weber & Söhne", "Fischer"};
        for (int i = 0; i < 30; ++i)
            fx.run().rows.push_back(test::Document(2006000 + i, names[i % 5], 2006, 1 + i % 12, 1 + i % 27,
                                                   500 + 97 * i, (i % 4 == 0) ? -50 * (i % 3) : 37 * i, 20 + i));
        auto w = fx.startedWindow();
        QVERIFY(w);
        QTest::mouseClick(w->findButton(), Qt::LeftButton);
        test::Settle();
        w->resize(800, 500);
        test::Settle();
        w->grab().save("/tmp/grab-grafik.png");
        w->pageControl()->setCurrentWidget(w->listTab());
        test::Settle();
        w->grab().save("/tmp/grab-liste.png");
        QTest::mouseClick((QWidget*)w->barsCheckBox(), Qt::LeftButton);
        w->pageControl()->setCurrentWidget(w->chartTab());
        test::Settle();
        w->grab().save("/tmp/grab-lines.png");
        w->resize(596, 385);
        test::Settle();
        w->grab().save("/tmp/grab-small.png");
    }
};
QTEST_MAIN(ZzGrabTest)
#include "ZzGrabTest.moc"
