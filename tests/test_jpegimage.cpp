#include <QFile>
#include <QtTest>

#include "gui/jpegimage.h"

class TestJpegImage : public QObject {
    Q_OBJECT
private slots:
    void decodesTheShippedPicture()
    {
        QFile f(":/editors/radio.jpg");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QImage image = decodeJpeg(f.readAll());
        QCOMPARE(image.size(), QSize(536, 178));
        // Light background in the corner, the dark radio body at its place.
        QVERIFY(qGray(image.pixel(530, 5)) > 200);
        QVERIFY(qGray(image.pixel(44, 150)) < 80);
    }

    void damagedPicturesGiveNoImage_data()
    {
        QFile f(":/editors/radio.jpg");
        f.open(QIODevice::ReadOnly);
        const QByteArray good = f.readAll();
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a jpeg") << QByteArray("GIF89a this is something else entirely");
        QTest::newRow("header only") << good.left(200);
        QTest::newRow("cut short") << good.left(good.size() / 2);
        QByteArray scrambled = good;
        for (int i = 600; i < scrambled.size() - 2; i += 7)
            scrambled[i] = char(0xFF);
        QTest::newRow("corrupt data") << scrambled;
    }
    void damagedPicturesGiveNoImage()
    {
        QFETCH(QByteArray, data);
        // Reaching the check at all is the point: libjpeg's own handler
        // would have ended the process.
        QVERIFY(decodeJpeg(data).isNull());
    }
};

QTEST_MAIN(TestJpegImage)
#include "test_jpegimage.moc"
