#pragma once

#include <QProcess>
#include <QStringList>

// The single-instance test binary also plays the other programs of its tests: started with one
// of these modes as its first argument it becomes that program, prints one line of results and
// lives until its standard input closes.
namespace tolvane::test {

// Another program's windows, made with plain Xlib. Arguments: a kind and its texts.
//   plain TEXT...          one unowned window per text (_NET_WM_NAME and WM_NAME)
//   legacy TEXT            WM_NAME only, as ISO Latin-1
//   names NETNAME WMNAME   both names, different
//   pid TEXT PID           a window that claims to belong to process PID
//   owned TEXT             a window transient for another window named "Owner"
//   framed FRAME CLIENT    a client with WM_STATE two levels deep in a frame, as a window
//                          manager reparents it
//   churn                  one window "Stable" and windows that come and go without pause
// Prints the ids of the windows made, in decimal.
inline constexpr char foreignClientMode[] = "--foreign-client";
int runForeignClient(const QStringList& arguments);

// A start of the program as far as the single-instance rule goes: creates the application window
// titled TITLE and asks twice whether another instance runs. Prints "alone" or "another" for
// each answer, then the application window's id.
inline constexpr char instanceMode[] = "--instance";

// A helper process started from this binary. Its destructor closes its input and waits for it.
class HelperProcess {
public:
    explicit HelperProcess(
        const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // The words of the line the helper printed; empty when it printed none in time.
    const QStringList& output() const { return m_output; }
    unsigned long windowId(qsizetype index) const;
    void finish();

private:
    QProcess m_process;
    QStringList m_output;
};

} // namespace tolvane::test
