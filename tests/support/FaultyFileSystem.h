#pragma once
// A file system for package saves that fails on purpose, to show what each failure leaves.

#include "core/formats/PackageFileSystem.h"

#include <cerrno>

namespace vorlix::test {

// The real file system, except that step number `failAt` (counted from 1) fails with
// EIO. When `killed`, every step after it fails too, so nothing can tidy up: the
// disk stays as a program that died at that step would leave it.
class FaultyFileSystem final : public PackageFileSystem {
public:
    explicit FaultyFileSystem(int failAt, bool killed = false, bool canExchange = true)
        : m_failAt(failAt), m_killed(killed), m_canExchange(canExchange)
    {
    }

    bool reachedFault() const { return m_step >= m_failAt; }

    int makeDirectory(const QString& path) override
    {
        return step([&] { return real().makeDirectory(path); });
    }
    int writeFile(const QString& path, const QByteArray& data) override
    {
        return step([&] { return real().writeFile(path, data); });
    }
    int syncDirectory(const QString& path) override
    {
        return step([&] { return real().syncDirectory(path); });
    }
    int exchange(const QString& a, const QString& b) override
    {
        return step([&] { return m_canExchange ? real().exchange(a, b) : EINVAL; });
    }
    int rename(const QString& from, const QString& to) override
    {
        return step([&] { return real().rename(from, to); });
    }
    int removeTree(const QString& path) override
    {
        return step([&] { return real().removeTree(path); });
    }
    bool exists(const QString& path) override { return real().exists(path); }

private:
    static PackageFileSystem& real() { return PackageFileSystem::system(); }

    template <class F>
    int step(F&& perform)
    {
        ++m_step;
        if (m_step == m_failAt || (m_killed && m_step > m_failAt))
            return EIO;
        return perform();
    }

    int m_step = 0;
    int m_failAt;
    bool m_killed;
    bool m_canExchange;
};

} // namespace vorlix::test
