#pragma once

#include <QObject>

#include <gtest/gtest.h>

// The child of `parent` named `name` (a control of a dialog under test); a
// failure of the test when there is none.
template<typename T>
T *child(const QObject *parent, const char *name)
{
    T *w = parent->findChild<T *>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}
