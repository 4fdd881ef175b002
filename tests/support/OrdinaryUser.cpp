#include "tests/support/OrdinaryUser.h"

#include <QDirIterator>
#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

namespace tolvane::test {

bool asOrdinaryUser(const QString& tree, const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    constexpr uid_t nobody = 65534;
    QDirIterator it(tree, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    bool owned = ::lchown(QFile::encodeName(tree).constData(), nobody, nobody) == 0;
    while (it.hasNext())
        owned = ::lchown(QFile::encodeName(it.next()).constData(), nobody, nobody) == 0 && owned;
    if (!owned)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace tolvane::test
