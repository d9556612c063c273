#ifdef ORBA_TEST_WIDGETS
#include "dialogs/QtUiServices.h"

#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

#if defined(__SANITIZE_THREAD__)
#include <cstdarg>
#include <dlfcn.h>
#include <sched.h>

// QProcess starts its child with clone(CLONE_VM | CLONE_VFORK). This
// ThreadSanitizer runtime's clone interceptor does its fork bookkeeping inside
// that child, on memory the child shares with the parent: from the first
// simulator a test starts, the parent's main thread no longer has its own locks
// seen and every later hand-over looks like a race. A clone that shares memory
// goes straight to the C library; every other clone goes through the sanitizer.
extern "C" int clone(int (*fn)(void *), void *stack, int flags, void *arg, ...)
{
    va_list rest;
    va_start(rest, arg);
    auto *parentTid = va_arg(rest, pid_t *);
    auto *tls = va_arg(rest, void *);
    auto *childTid = va_arg(rest, pid_t *);
    va_end(rest);
    using Clone = int (*)(int (*)(void *), void *, int, void *, ...);
    static const auto libc = reinterpret_cast<Clone>(
        ::dlsym(::dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD), "clone"));
    static const auto sanitizer = reinterpret_cast<Clone>(::dlsym(RTLD_NEXT, "clone"));
    return ((flags & CLONE_VM) ? libc : sanitizer)(fn, stack, flags, arg, parentTid, tls,
                                                   childTid);
}
#endif

// Tests run headless and never block on a modal dialog (UiServices is
// replaced by a recorder where a test needs it).
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("ORBA-Test"));
    TestApplication::setApplicationName(QStringLiteral("ORBATerminal-Test"));
#ifdef ORBA_TEST_WIDGETS
    useQtUiServices();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
