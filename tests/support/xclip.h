#pragma once
// Another X client, xclip, holding the PRIMARY selection with the given bytes until it loses it
// or the object goes.
#include "toolkit/selection.h"
#include "support/waiting.h"

#include <QProcess>
#include <gtest/gtest.h>

struct Xclip {
    explicit Xclip(const QByteArray &bytes)
    {
        process.start("xclip", {"-quiet", "-selection", "primary", "-i"});
        EXPECT_TRUE(process.waitForStarted(5000));
        process.write(bytes);
        process.closeWriteChannel();
        EXPECT_TRUE(waitUntil([] { return selection_inquire().kind == SelectionOwner::Other; }));
    }
    ~Xclip()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    QProcess process;
};
