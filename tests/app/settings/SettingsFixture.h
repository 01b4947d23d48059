#pragma once
// A settings window over settings kept in memory, with services that only count or
// remember what the pages ask of them.

#include "app/settings/SettingsWindowController.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"

#include "core/formats/HistoryStore.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace vorlix::test {

struct SettingsFixture {
    QTemporaryDir folders;
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    SettingsServices services;
    int regularRequests = 0;
    int historyChanges = 0;
    int updateChecks = 0;
    std::optional<HistoryStore> history;

    SettingsFixture()
    {
        history.emplace(folders.filePath(QStringLiteral("Scatti")), QStringLiteral("Vorlix"));
        services.showAsRegularApp = [this] { ++regularRequests; };
        services.historyChanged = [this] { ++historyChanges; };
        services.history = [this]() -> HistoryStore& { return *history; };
        services.checkForUpdates = [this] { ++updateChecks; };
    }

    MemoryDefaultsStore& store() { return static_cast<MemoryDefaultsStore&>(settings.defaults()); }
};

} // namespace vorlix::test
