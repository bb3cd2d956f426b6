// What the inventory tests share: a description with the program's defaults, a temporary
// directory per test, and the real logger files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "description/description.h"
#include "formats/cp1252.h"

namespace tarvo::essai {

namespace fs = std::filesystem;

// The defaults of the description keys that the listing reads.
inline Description description_defaut() {
    Description d;
    d.CheckBox_inc_nom = true;
    d.dossier_choisi = "./";
    d.Edit_balise_deb = "DATA";
    d.Edit_balise_fin = "END";
    d.Edit_col_cochee = "1,2,3";
    d.Edit_equiv_na = "NA;-1;-99999;-99999.0;-99990.0";
    d.Edit_format_date_mesure_seule = "aaaa-mm-jj";
    d.Edit_format_datetime_mesure = "aaaa-mm-jjEhh:mn:ss";
    d.Edit_format_time_mesure_seul = "hh:mn:ss";
    d.Edit_masque = "*.csV";
    d.Edit_name_prog_blocnote = "notepad.exe";
    d.Edit_nb_decimale = "3";
    d.Edit_nom_fic_sortie = "A";
    d.Edit_num_col_date = "1";
    d.Edit_num_col_datetime = "1";
    d.Edit_num_col_time = "1";
    d.Edit_num_feuille_excel = "1";
    d.Edit_num_ligne_donnee = "2";
    d.Edit_num_ligne_intitule_col = "1";
    d.Edit_nmax_lacune = "1";
    d.RadioButton_decalage_positif = true;
    d.Label_pas_dsc = "00:15:00";
    return d;
}

inline std::string donnees_reelles(const std::string& relatif = {}) {
    return std::string(TARVO_DONNEES_REELLES) + "/" + relatif;
}

// A directory of its own for each test, removed afterwards.
class DossierTemporaire : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        racine_ = fs::temp_directory_path() /
                  (std::string("tarvo_inv_") + info->test_suite_name() + "_" + info->name());
        fs::remove_all(racine_);
        fs::create_directories(racine_);
    }
    void TearDown() override { fs::remove_all(racine_); }

    // The directory as a core path, with its final separator.
    std::string dossier() const { return utf8_vers_cp1252(racine_.string()) + "/"; }
    std::string chemin(const std::string& relatif) const { return dossier() + relatif; }
    void creer(const std::string& relatif, const std::string& contenu) const {
        const fs::path p = racine_ / relatif;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << contenu;
    }

    fs::path racine_;
};

}  // namespace tarvo::essai
