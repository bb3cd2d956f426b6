#include "ui/liaison_description.h"

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>

#include "description/cles_description.h"
#include "description/fichier_description.h"
#include "description/repertoires.h"
#include "formats/cp1252.h"
#include "ui/conversions_qt.h"

namespace tarvo {

namespace {

std::string_view sans_suffixe(std::string_view cle) {
    for (const std::string_view suffixe :
         {".text", ".Checked", ".caption", ".ItemIndex", "_ItemIndex"})
        if (cle.ends_with(suffixe)) return cle.substr(0, cle.size() - suffixe.size());
    return cle;
}

// The radio buttons of a group, in index order: the children of a widget named after the
// group, else the buttons "RadioButton1_x", "RadioButton2_x"… of the group "RadioGroup_x".
std::vector<QRadioButton*> boutons_du_groupe(const QWidget* racine, const QString& groupe) {
    if (auto* conteneur = racine->findChild<QWidget*>(groupe))
        if (auto boutons = conteneur->findChildren<QRadioButton*>(); !boutons.empty())
            return {boutons.begin(), boutons.end()};
    const QString suffixe = groupe.mid(QStringLiteral("RadioGroup").size());
    std::vector<QRadioButton*> boutons;
    for (int k = 1;; ++k) {
        auto* b =
            racine->findChild<QRadioButton*>(QStringLiteral("RadioButton%1%2").arg(k).arg(suffixe));
        if (!b) break;
        boutons.push_back(b);
    }
    return boutons;
}

std::string_view placeholder(std::string_view cle) {
    if (cle == "dossier_choisi") return repertoire_donnees_vide;
    if (cle == "dossier_description") return repertoire_description_vide;
    return repertoire_sortie_vide;
}

template <class F>
void pour_chaque_controle(const QWidget* racine, F&& f) {
    for (const CleDescription& cle : cles_description()) {
        const std::string nom = nom_controle(cle);
        if (nom.empty()) continue;
        const QString n = QString::fromStdString(nom);
        if (cle.forme == Forme::indice_radio) {
            if (auto boutons = boutons_du_groupe(racine, n); !boutons.empty())
                f(cle, nullptr, boutons);
        } else if (auto* w = racine->findChild<QWidget*>(n)) {
            f(cle, w, std::vector<QRadioButton*>{});
        }
    }
}

}  // namespace

std::string nom_controle(const CleDescription& cle) {
    if (cle.cle == "dossier_choisi") return "Label_repertoire";
    if (cle.cle == "dossier_description") return "Label_rep_description";
    if (cle.cle == "dossier_choisi_sortie") return "Label_rep_sortie";
    // The chart selections belong to the graph window.
    if (cle.cle.starts_with("suite_coche_liste_graph")) return "";
    // The unit and the date test of the period last run are shown by the grid settings that
    // opening the description sets from them.
    if (cle.cle == "unite_pas_dsc" || cle.cle == "test_strict_dsc") return "";
    return std::string(sans_suffixe(cle.cle));
}

LiaisonDescription::LiaisonDescription(const QWidget* racine) {
    pour_chaque_controle(racine, [&](const CleDescription& cle, QWidget* w,
                                     const std::vector<QRadioButton*>& boutons) {
        controles_.push_back({&cle, w, boutons});
    });
}

template <class F>
void LiaisonDescription::pour_chaque_lie(F&& f) const {
    for (const Controle& c : controles_) f(*c.cle, c.w, c.boutons);
}

void LiaisonDescription::charger(const Description& d) const {
    pour_chaque_lie(
        [&](const CleDescription& cle, QWidget* w, const std::vector<QRadioButton*>& boutons) {
            if (!boutons.empty()) {
                const int i = std::get<ChampIndice>(cle.champ).lire(d);
                for (std::size_t k = 0; k < boutons.size(); ++k) {
                    const QSignalBlocker bloque(boutons[k]);
                    boutons[k]->setChecked(static_cast<int>(k) == i);
                }
                return;
            }
            const QSignalBlocker bloque(w);
            switch (cle.forme) {
                case Forme::booleen:
                    if (auto* b = qobject_cast<QAbstractButton*>(w))
                        b->setChecked(d.*std::get<bool Description::*>(cle.champ));
                    break;
                case Forme::texte:
                case Forme::dossier: {
                    std::string texte = d.*std::get<std::string Description::*>(cle.champ);
                    // "/." is what a description without a data directory holds.
                    if (cle.forme == Forme::dossier && (texte.empty() || texte == "/."))
                        texte = fr(placeholder(cle.cle));
                    if (auto* e = qobject_cast<QLineEdit*>(w))
                        e->setText(qt(texte));
                    else if (auto* l = qobject_cast<QLabel*>(w))
                        l->setText(qt(texte));
                    break;
                }
                case Forme::heure:
                    if (auto* t = qobject_cast<QDateTimeEdit*>(w))
                        t->setTime(heure_qt(d.*std::get<double Description::*>(cle.champ)));
                    break;
                case Forme::date:
                    if (auto* t = qobject_cast<QDateTimeEdit*>(w))
                        t->setDateTime(date_qt(d.*std::get<double Description::*>(cle.champ)));
                    break;
                case Forme::indice_radio:
                    break;
            }
        });
}

void LiaisonDescription::enregistrer(Description& d) const {
    pour_chaque_lie(
        [&](const CleDescription& cle, QWidget* w, const std::vector<QRadioButton*>& boutons) {
            if (!boutons.empty()) {
                for (std::size_t k = 0; k < boutons.size(); ++k)
                    if (boutons[k]->isChecked())
                        std::get<ChampIndice>(cle.champ).ecrire(d, static_cast<int>(k));
                return;
            }
            switch (cle.forme) {
                case Forme::booleen:
                    if (auto* b = qobject_cast<QAbstractButton*>(w))
                        d.*std::get<bool Description::*>(cle.champ) = b->isChecked();
                    break;
                case Forme::texte:
                    if (auto* e = qobject_cast<QLineEdit*>(w))
                        d.*std::get<std::string Description::*>(cle.champ) = cp(e->text());
                    break;
                case Forme::heure:
                    if (auto* t = qobject_cast<QDateTimeEdit*>(w))
                        d.*std::get<double Description::*>(cle.champ) = fraction_de(t->time());
                    break;
                case Forme::date:
                    if (auto* t = qobject_cast<QDateTimeEdit*>(w))
                        d.*std::get<double Description::*>(cle.champ) = jours_de(t->dateTime());
                    break;
                case Forme::dossier:  // chosen through the directory panel, never typed
                case Forme::indice_radio:
                    break;
            }
        });
}

void LiaisonDescription::surveiller(const std::function<void()>& modifie) const {
    pour_chaque_lie(
        [&](const CleDescription&, QWidget* w, const std::vector<QRadioButton*>& boutons) {
            for (QRadioButton* b : boutons)
                QObject::connect(b, &QAbstractButton::clicked, b, modifie);
            if (auto* e = qobject_cast<QLineEdit*>(w))
                QObject::connect(e, &QLineEdit::textEdited, e, modifie);
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                QObject::connect(b, &QAbstractButton::clicked, b, modifie);
            else if (auto* t = qobject_cast<QDateTimeEdit*>(w))
                QObject::connect(t, &QDateTimeEdit::dateTimeChanged, t, modifie);
        });
}

std::vector<std::string> cles_sans_controle(const QWidget* racine) {
    std::vector<std::string> manquantes;
    for (const CleDescription& cle : cles_description()) {
        const std::string nom = nom_controle(cle);
        if (nom.empty()) continue;
        const QString n = QString::fromStdString(nom);
        const bool present = cle.forme == Forme::indice_radio
                                 ? !boutons_du_groupe(racine, n).empty()
                                 : racine->findChild<QWidget*>(n) != nullptr;
        if (!present) manquantes.emplace_back(cle.cle);
    }
    return manquantes;
}

}  // namespace tarvo
