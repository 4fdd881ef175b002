#include "bench/BenchSupport.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tolvane::bench {

ScratchSettings::ScratchSettings(const QByteArray& values)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    QDir().mkpath(m_dir.filePath(QStringLiteral("tolvane")));
    QFile file(m_dir.filePath(QStringLiteral("tolvane/registry.reg")));
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the bench settings to %s", qPrintable(file.fileName()));
    file.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n" + values);
}

QByteArray dwordValue(const char* name, int value)
{
    return '"' + QByteArray(name) +
           "\"=dword:" + QByteArray::number(std::uint32_t(value), 16).rightJustified(8, '0') + '\n';
}

QByteArray dateTimeValue(const char* name, double seconds)
{
    // Eight little-endian bytes of a double count of days.
    auto bits = std::bit_cast<std::uint64_t>(seconds / 86400.0);
    QByteArray hex;
    for (int byte = 0; byte < 8; ++byte, bits >>= 8)
        hex += (byte ? "," : "") +
               QByteArray::number(unsigned(bits & 0xff), 16).rightJustified(2, '0');
    return '"' + QByteArray(name) + "\"=hex:" + hex + '\n';
}

double quantile(std::vector<double> samples, double q)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = std::size_t(std::ceil(q * double(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

void printRow(const QString& item, const QString& measure, const QString& figure,
              const QString& baseline, const QString& goal, const QString& verdict)
{
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\n", qPrintable(item), qPrintable(measure),
                qPrintable(figure), qPrintable(baseline), qPrintable(goal), qPrintable(verdict));
    std::fflush(stdout);
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

} // namespace tolvane::bench
