#pragma once
// What the manager's lists and tables tell the manager window.

#include "core/ringtones/ringtoneinfo.h"

#include <QList>

#include <optional>

class QWidget;
class RingtoneDataSource;

class RingtoneManagerDelegate {
public:
    virtual ~RingtoneManagerDelegate() = default;

    // Whether the Delete button may act: only a phone selection can be deleted.
    virtual void setCanDeleteRingtone(bool canDelete) = 0;
    // The ringtone the player shows; nothing clears it.
    virtual void setCurrentPlayRingtone(const std::optional<RingtoneInfo>& ringtone) = 0;
    // Records dropped onto `target`'s table at `row`, dragged from the other table.
    virtual void ringtonesDropped(RingtoneDataSource* target, const QList<RingtoneInfo>& ringtones, int row) = 0;
    // The window sheets are shown on.
    [[nodiscard]] virtual QWidget* sheetWindow() = 0;
};
