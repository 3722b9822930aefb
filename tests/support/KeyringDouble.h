#pragma once

#include "platform/Keyring.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <utility>

// A keyring in memory (`available` false: a desktop without one). Reads answer
// from the event loop, or, with `holdReads`, when the test calls answerReads().
struct KeyringDouble : platform::Keyring {
    bool available = true;
    bool holdReads = false;
    QHash<QString, QString> entries;
    QList<std::function<void()>> heldReads;
    KeyringDouble() { platform::setKeyring(this); }
    ~KeyringDouble() override { platform::setKeyring(nullptr); }
    void read(const QString& key, QObject* context, ReadDone done) override {
        auto answer = [this, key, context = QPointer<QObject>(context), done] {
            if (!context)
                return;
            if (!available)
                return done(Result::Unavailable, QString());
            if (!entries.contains(key))
                return done(Result::NotFound, QString());
            done(Result::Ok, entries.value(key));
        };
        if (holdReads)
            heldReads.append(answer);
        else
            QTimer::singleShot(0, context, answer);
    }
    void answerReads() {
        for (const std::function<void()>& answer : std::exchange(heldReads, {}))
            answer();
    }
    Result write(const QString& key, const QString& password) override {
        if (!available)
            return Result::Unavailable;
        entries.insert(key, password);
        return Result::Ok;
    }
    Result remove(const QString& key) override {
        if (!available)
            return Result::Unavailable;
        entries.remove(key);
        return Result::Ok;
    }
};
