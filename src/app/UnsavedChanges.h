// Whether the label set holds changes that no file has: the document as last opened, saved
// or created with "新規作成" is kept, and the document is compared with it after the user's
// input has been handled and before a command would throw the changes away.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <memory>

#include "model/LabelSet.h"

namespace sw::app {

// Keys, clicks, wheel turns, input-method text and drops: what the user changes things with.
bool IsUserInput(QEvent::Type type);

class UnsavedChanges : public QObject {
public:
    // `shown` hears every change of the modified state (for the window title).
    UnsavedChanges(const sw::model::LabelSet& document, std::function<void(bool)> shown,
                   QObject* parent = nullptr);
    ~UnsavedChanges() override;

    // The document as it stands now is the one in a file (or the new one).
    void MarkSaved();
    // The document was brought back from a recovery copy: it holds changes that are in no
    // file, whatever it is compared with, until the next MarkSaved.
    void MarkRestored();
    // Hears every MarkSaved (the recovery copy then goes).
    void SetSavedListener(std::function<void()> listener) { m_savedListener = std::move(listener); }
    // The document as last opened, saved or created.
    const sw::model::LabelSet& saved() const { return *m_saved; }
    // True when the document differs from the saved one. A document brought back to the
    // saved state (by 元に戻す, or by hand) is unmodified again.
    bool Check();
    bool Modified() const { return m_modified; }

protected:
    // Keys, clicks, wheel turns, input-method text and drops are what change the document:
    // after each the document is compared once, when the input has been handled (while
    // modified, the entry last found to differ first, which is usually all it takes).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetModified(bool modified);

    const sw::model::LabelSet& m_document;
    std::unique_ptr<sw::model::LabelSet> m_saved;
    std::function<void(bool)> m_shown;
    std::function<void()> m_savedListener;
    bool m_modified = false;
    bool m_checkPending = false;
    int m_differingEntry = 0;  // an entry found to differ from the saved one, 0 for none
    bool m_restored = false;   // brought back from a recovery copy and not saved since
};

}  // namespace sw::app
