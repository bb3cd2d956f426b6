// What the session tests share: a program, data, description and output directory laid out
// as a user keeps them, the test doubles of the platform, and descriptions written for them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "description/cles_description.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"
#include "tests/description/dossier_temporaire.h"

namespace tarvo {

// The settings that read the HOBO export of the real-data folder: "," separator, titles on
// line 2, data from line 3, US dates with AM/PM in column 2.
inline void lire_comme_hobo(Description& d) {
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    d.Edit_num_ligne_intitule_col = "2";
    d.Edit_num_ligne_donnee = "3";
    d.Edit_num_col_datetime = "2";
    d.Edit_format_datetime_mesure = "mm/jj/aa hh:mn:ss AM/PM souple";
}

// A program directory, and a data, description and output directory laid out as a user
// keeps them (output = data + "EXPORT/"), so that reading a description asks nothing.
class SessionTest : public DossierTemporaire {
protected:
    void SetUp() override {
        DossierTemporaire::SetUp();
        programme = dossier("programme");
        donnees = dossier("donnees");
        sortie = dossier("donnees/EXPORT");
        descriptions = dossier("descriptions");
    }
    std::unique_ptr<Session> nouvelle_session() {
        return std::make_unique<Session>(dialogue, progression, lanceur, presse_papier, programme);
    }
    // A description file written by the program itself, with a few options changed.
    std::string ecrire_dsc(const std::string& nom, const std::string& masque = "*.txt") {
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_description = descriptions;
        d.dossier_choisi_sortie = sortie;
        d.Edit_masque = masque;
        d.Edit_nom_fic_sortie = "niveaux";
        ecrire_fichier_atomique(descriptions + nom, ecrire_description_texte(d));
        return descriptions + nom;
    }
    // The HOBO export of the real-data folder in the data directory, and the settings
    // that read it (US dates with AM/PM, "," separator, titles on line 2).
    std::string copier_hobo() {
        const std::string fichier = "QU5_Mooring_15m_20392468_20210803.csv";
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/onset-hobo/" + fichier,
                                   chemin_natif(donnees + fichier));
        return fichier;
    }
    // A session on that description, its file listed, set for hourly steps from 15:00 to 17:00
    // on 16/06/2021.
    std::unique_ptr<Session> session_hobo_horaire(const Description& d) {
        ecrire_fichier_atomique(descriptions + "hobo.dsc", ecrire_description_texte(d));
        auto s = nouvelle_session();
        s->creation();
        s->choisir_description(descriptions + "hobo.dsc");
        EXPECT_EQ(s->lister_fichiers().fin, FinListage::complet);
        s->parametres_grille.Label_temps_deb = "16/06/2021 15:00:00";
        s->parametres_grille.Label_temps_fin = "16/06/2021 17:00:00";
        s->parametres_grille.TimePicker_pas = 1.0 / 24;
        s->parametres_grille_modifies();
        return s;
    }
    // The ";" files of the run tests: titles on line 1, day-first dates in column 1, means
    // with one decimal, "NA"; the result named `nom`.
    Description description_point_virgule(const std::string& nom) const {
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_description = descriptions;
        d.dossier_choisi_sortie = sortie;
        d.Edit_masque = "*.txt";
        d.Edit_nom_fic_sortie = nom;
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        d.Edit_num_ligne_intitule_col = "1";
        d.Edit_num_ligne_donnee = "2";
        d.Edit_num_col_datetime = "1";
        d.Edit_format_datetime_mesure = "jj/mm/aaaa hh:mn:ss";
        d.Edit_nb_decimale = "1";
        d.Edit_NA = "NA";
        d.RadioGroup_methode_ItemIndex = Methode::moyenne;
        return d;
    }
    Description description_hobo() const {
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_description = descriptions;
        d.dossier_choisi_sortie = sortie;
        d.Edit_masque = "*.csv";
        lire_comme_hobo(d);
        return d;
    }
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;
    std::string programme, donnees, sortie, descriptions;
};

// A description's text as an older program wrote it, then the lines given: the keys of the
// period's unit and date test are only those of `lignes`.
inline std::string texte_description(const Description& d, const std::vector<std::string>& lignes) {
    const std::string complet = ecrire_description_texte(d);
    std::string texte;
    for (const std::string_view ligne : decouper_lignes(complet))
        if (!ligne.starts_with("unite_pas_dsc=") && !ligne.starts_with("test_strict_dsc="))
            (texte += ligne) += "\r\n";
    for (const std::string& ligne : lignes) texte += ligne + "\r\n";
    return texte;
}

}  // namespace tarvo
