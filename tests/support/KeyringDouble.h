#pragma once

#include "platform/Keyring.h"

#include <QHash>

// A keyring in memory; `available` false answers as a desktop without one.
struct KeyringDouble : platform::Keyring {
    bool available = true;
    QHash<QString, QString> entries;
    KeyringDouble() { platform::setKeyring(this); }
    ~KeyringDouble() override { platform::setKeyring(nullptr); }
    Result read(const QString& key, QString& password) override {
        if (!available)
            return Result::Unavailable;
        if (!entries.contains(key))
            return Result::NotFound;
        password = entries.value(key);
        return Result::Ok;
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
