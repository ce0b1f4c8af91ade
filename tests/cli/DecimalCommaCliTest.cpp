// The reports on a decimal-comma desktop write exactly what they write in the
// C locale: tables, balance values and the texts of exported pictures.
#include "CliSupport.h"
#include "support/DecimalComma.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DecimalCommaCli, ReportsWriteThePointWhateverTheLocale)
{
    const std::string folder = DecimalCommaLocale::Folder();
    ASSERT_FALSE(folder.empty()) << "localedef could not make the German locale";
    const QStringList german{QStringLiteral("LOCPATH=") + QString::fromStdString(folder),
                             QStringLiteral("LC_ALL=de_DE.UTF-8"), QStringLiteral("LANG=de_DE.UTF-8")};
    const QStringList plain{QStringLiteral("LC_ALL=C"), QStringLiteral("LANG=C")};
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList runs[] = {
        {QStringLiteral("--valve-events")},
        {QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength")},
        {QStringLiteral("--balance"), QStringLiteral("cutoff-fwd"), QStringLiteral("EccRodLength"),
         QStringLiteral("--range"), QStringLiteral("9.8"), QStringLiteral("10.1")},
        {QStringLiteral("--export"), QStringLiteral("main"), dir.filePath(QStringLiteral("OUT.svg"))},
        {QStringLiteral("--export"), QStringLiteral("port-graph"), dir.filePath(QStringLiteral("OUT.svg"))},
        {QStringLiteral("--sensitivity"), QStringLiteral("--notch"), QStringLiteral("9")},
        {QStringLiteral("--tolerance"), QStringLiteral("0.002"), QStringLiteral("--samples"), QStringLiteral("3"),
         QStringLiteral("--pin-clearance"), QStringLiteral("0.0005")},
        {QStringLiteral("--valve-events"), QStringLiteral("--compare"),
         QStringLiteral(QUELF_SOURCE_DIR "/tests/fuzz/corpus/native/lines-and-circles.vgw")},
        {QStringLiteral("--scale-design"), QStringLiteral("0.3"), dir.filePath(QStringLiteral("OUT.vgw")),
         QStringLiteral("--round"), QStringLiteral("0.1mm")},
        {QStringLiteral("--performance"), QStringLiteral("--speeds"), QStringLiteral("60.5:90.5:15"),
         QStringLiteral("--chest-pressure"), QStringLiteral("180.5")},
        {QStringLiteral("--indicator"), dir.filePath(QStringLiteral("OUT.svg")), QStringLiteral("--ideal")},
    };
    for (const QStringList& args : runs) {
        QString texts[2];
        for (int locale = 0; locale < 2; ++locale) {
            const CliRun r = RunQuelf(args, QString(), locale ? german : plain);
            ASSERT_EQ(r.status, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
            texts[locale] = r.out;
            QFile svg(dir.filePath(QStringLiteral("OUT.svg")));
            if (svg.open(QIODevice::ReadOnly)) texts[locale] += QString::fromUtf8(svg.readAll());
            svg.remove();
            QFile design(dir.filePath(QStringLiteral("OUT.vgw")));
            if (design.open(QIODevice::ReadOnly)) texts[locale] += QString::fromLatin1(design.readAll().toHex());
            design.remove();
        }
        EXPECT_FALSE(texts[0].isEmpty()) << args.join(' ').toStdString();
        EXPECT_EQ(texts[1], texts[0]) << args.join(' ').toStdString();
    }
}
