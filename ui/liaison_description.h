// Binds the window's controls to the description record through the key table: a key
// names its control ("Edit_masque.text" → the control `Edit_masque`), so no control is
// copied to or from the record by hand.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QRadioButton;
class QWidget;

namespace tarvo {

struct CleDescription;
struct Description;

// The objectName of the control that shows a key, "" for the keys no control shows.
//   "Edit_masque.text" → "Edit_masque"   "RadioGroup_methode_ItemIndex" → "RadioGroup_methode"
//   "dossier_choisi" → "Label_repertoire"
std::string nom_controle(const CleDescription& cle);

// The controls under `racine` that show a key, found once when the window is built.
class LiaisonDescription {
public:
    LiaisonDescription() = default;
    explicit LiaisonDescription(const QWidget* racine);

    // Every bound control takes the record's value, without signalling a change.
    void charger(const Description& description) const;
    // The record takes every editable control's value; labels only show the record.
    void enregistrer(Description& description) const;
    // `modifie` runs after every change the user makes to a bound control.
    void surveiller(const std::function<void()>& modifie) const;

private:
    struct Controle {
        const CleDescription* cle;
        QWidget* w;  // null for a radio group
        std::vector<QRadioButton*> boutons;
    };
    template <class F>
    void pour_chaque_lie(F&& f) const;
    std::vector<Controle> controles_;
};
// The keys with a control name that no control under `racine` carries.
std::vector<std::string> cles_sans_controle(const QWidget* racine);

}  // namespace tarvo
