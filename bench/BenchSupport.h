#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace tolvane::bench {

// A fresh settings folder (XDG_CONFIG_HOME) for the lifetime of the object, holding a registry
// file with the given value lines, such as "\"intPrInhale\"=dword:00000001".
class ScratchSettings {
public:
    explicit ScratchSettings(const QByteArray& values);
    ScratchSettings(const ScratchSettings&) = delete;
    ScratchSettings& operator=(const ScratchSettings&) = delete;

private:
    QTemporaryDir m_dir;
};

// Registry value lines for an integer and for a length of time in seconds (stored in days).
QByteArray dwordValue(const char* name, int value);
QByteArray dateTimeValue(const char* name, double seconds);

// The q-th quantile (0 … 1) of the samples by the nearest rank; 0 for no samples.
double quantile(std::vector<double> samples, double q);

// One line of the results table, printed to stdout for the bench script to collect.
void printRow(const QString& item, const QString& measure, const QString& figure,
              const QString& baseline, const QString& goal, const QString& verdict);

QString fixed(double value, int decimals);
QString verdict(bool met);

} // namespace tolvane::bench
