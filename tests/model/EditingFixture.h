// A fresh workspace standing on a chosen entry, face and grid position, for the editing tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "model/DocumentOps.h"
#include "model/Workspace.h"

namespace sw::model {

// Readable failures: the fields of a key instead of its bytes.
inline void PrintTo(const KeyLabel& k, std::ostream* os) {
    *os << "{align " << int(k.Alignment) << ", layout " << int(k.Layout) << ", \"" << k.Line1
        << "\" / \"" << k.Line2 << "\", back " << std::hex << k.BackColor << ", colour "
        << k.FontColor << std::dec << ", \"" << k.FontName << "\", style " << int(k.FontStyle)
        << ", size " << k.FontSize << "}";
}

class Editing : public ::testing::Test {
protected:
    void SetUp() override {
        m_ws = std::make_unique<Workspace>();
        NewLabelSetReset(*m_ws);
    }

    Workspace& ws() { return *m_ws; }
    EditorState& ed() { return m_ws->editor; }
    KeyLabel& Key(int entry, int face, int keyIndex) {
        return m_ws->labelSet.Entries[entry].Faces[face].Keys[keyIndex];
    }

    // What the window does when the user goes to entry/face and selects a position.
    void Stand(int entry, int face, int position) {
        EditorState& e = m_ws->editor;
        e.CurrentEntry = entry;
        e.CurrentFace = face;
        e.EditFace = face;
        e.ApplyKeyRange(KeyRangeFor(m_ws->labelSet.Entries[entry].ButtonModel));
        e.CurrentKeyPos = position;
    }

    // The five command states as "paste formatPaste entryPaste deselect undo", 1 = on.
    std::string States() const {
        const EditorState& e = m_ws->editor;
        std::string s;
        for (bool b : {e.PasteEnabled, e.FormatPasteEnabled, e.EntryPasteEnabled,
                       e.DeselectEnabled, e.UndoEnabled})
            s += b ? '1' : '0';
        return s;
    }

    static KeyLabel Label(const char* line1, const char* line2 = "") {
        KeyLabel key;
        key.Line1 = line1;
        key.Line2 = line2;
        key.Alignment = kAlignLeft;
        key.Layout = kLayoutBottom;
        key.BackColor = 0x0000FF00;
        key.FontColor = 0x000000FF;
        key.FontName = "Serif";
        key.FontStyle = kStyleItalic;
        key.FontSize = 14;
        return key;
    }

private:
    std::unique_ptr<Workspace> m_ws;
};

}  // namespace sw::model
