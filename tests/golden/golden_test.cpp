// Whole conversions: each folder of cas/ holds a description, data files, the grid settings
// and the expected result and tracking lines; a run through the session must give the
// result file byte for byte. The expected files come from attendus.py, not from the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// Cases that show a known fault of the program, with the fault; the expectation stays.

std::string lire_brut(const fs::path& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void ecrire_brut(const fs::path& chemin, const std::string& contenu) {
    fs::create_directories(chemin.parent_path());
    std::ofstream(chemin, std::ios::binary) << contenu;
}

std::map<std::string, std::string> lire_parametres(const fs::path& chemin) {
    std::map<std::string, std::string> p;
    std::istringstream in(lire_brut(chemin));
    for (std::string ligne; std::getline(in, ligne);) {
        if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
        const auto egal = ligne.find('=');
        if (egal != std::string::npos) p[ligne.substr(0, egal)] = ligne.substr(egal + 1);
    }
    return p;
}

std::vector<std::string> lignes_crlf(const std::string& texte) {
    std::vector<std::string> l;
    for (const auto v : decouper_lignes(texte)) l.emplace_back(v);
    return l;
}

void remplacer(std::string& texte, const std::string& quoi, const std::string& par) {
    for (auto i = texte.find(quoi); i != std::string::npos; i = texte.find(quoi, i + par.size()))
        texte.replace(i, quoi.size(), par);
}

double heure_en_jours(const std::string& hh_mn_ss) {
    return (std::stoi(hh_mn_ss.substr(0, 2)) * 3600 + std::stoi(hh_mn_ss.substr(3, 2)) * 60 +
            std::stoi(hh_mn_ss.substr(6, 2))) /
           86400.0;
}

std::vector<std::string> noms_des_cas() {
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(TARVO_CAS_GOLDEN))
        if (e.is_directory()) noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ConversionComplete) {
    const std::string nom = GetParam();
    const fs::path cas = fs::path(TARVO_CAS_GOLDEN) / nom;
    const auto p = lire_parametres(cas / "parametres.txt");

    // A fresh copy, so that the run writes nothing into the source tree; the random part
    // keeps two build trees testing at once apart.
    const fs::path racine = fs::temp_directory_path() /
                            ("tarvo_golden_" + nom + "_" + std::to_string(std::random_device{}()));
    fs::remove_all(racine);
    // The layout a user keeps (output = data + "EXPORT/"), so that loading asks nothing.
    for (const char* d : {"donnees/EXPORT", "descriptions", "programme"})
        fs::create_directories(racine / d);
    const std::string base = utf8_vers_cp1252(racine.string()) + "/";
    for (const auto& e : fs::directory_iterator(cas)) {
        const std::string f = e.path().filename().string();
        if (f != "parametres.txt" && f != "description.dsc" && f != "attendu.txt" &&
            f != "suivi_attendu.txt")
            fs::copy_file(e.path(), racine / "donnees" / f);
    }
    if (p.contains("reel") && !p.at("reel").empty()) {
        const fs::path reel = fs::path(TARVO_DONNEES_REELLES) / p.at("reel");
        fs::copy_file(reel, racine / "donnees" / reel.filename());
    }
    std::string dsc = lire_brut(cas / "description.dsc");
    remplacer(dsc, "@DONNEES@", base + "donnees/");
    remplacer(dsc, "@SORTIE@", base + "donnees/EXPORT/");
    remplacer(dsc, "@DESCRIPTIONS@", base + "descriptions/");
    ecrire_brut(racine / "descriptions" / "description.dsc", dsc);

    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    Session s(dialogue, progression, lanceur, base + "programme/");
    s.lecture_seule = true;
    s.creation();
    s.choisir_description(base + "descriptions/description.dsc");
    ASSERT_TRUE(dialogue.vus.empty()) << dialogue.vus.front().texte;
    ASSERT_EQ(s.lister_fichiers().fin, FinListage::complet);
    ASSERT_TRUE(dialogue.vus.empty()) << dialogue.vus.front().texte;

    s.parametres_grille.Label_temps_deb = p.at("debut");
    s.parametres_grille.Label_temps_fin = p.at("fin");
    s.parametres_grille.TimePicker_pas = heure_en_jours(p.at("pas"));
    s.parametres_grille.unite_pas = std::stoi(p.at("unite"));
    s.parametres_grille.SpinEdit_pas_jour_mois_annee = std::stoi(p.at("nombre"));
    s.parametres_grille.test_strict = std::stoi(p.at("test"));
    s.SpinEdit_decalage_jour = std::stoi(p.at("decalage_jours"));
    s.parametres_grille_modifies();
    std::istringstream reponses(p.at("reponses"));
    for (std::string r; std::getline(reponses, r, ',');)
        dialogue.attendre_question(r == "oui" ? Reponse::oui : Reponse::non);
    ASSERT_EQ(s.traiter(), FinTraitement::termine);
    ASSERT_FALSE(s.fichier_resultat.empty());

    const std::string attendu = lire_brut(cas / "attendu.txt");
    const auto obtenu = lire_fichier(s.fichier_resultat);
    ASSERT_TRUE(obtenu);
    const fs::path actuel = fs::path(TARVO_GOLDEN_SORTIE) / (nom + ".actual");
    const fs::path copie = fs::path(TARVO_GOLDEN_SORTIE) / (nom + ".attendu");
    fs::remove(actuel);
    fs::remove(copie);
    if (*obtenu != attendu) {
        // Kept in the build tree for a look, with a diff in the test output.
        ecrire_brut(actuel, *obtenu);
        ecrire_brut(copie, attendu);
        const std::string commande = "diff -u '" + copie.string() + "' '" + actuel.string() + "'";
        [[maybe_unused]] const int r = std::system(commande.c_str());
        ADD_FAILURE() << nom << ": the result differs from attendu.txt, see " << actuel;
    }

    // The expected tracking lines appear in this order; a final "*" matches any end.
    const auto suivi = lire_fichier(s.fichier_resultat + ".TXT");
    ASSERT_TRUE(suivi);
    const auto lignes = lignes_crlf(*suivi);
    std::size_t i = 0;
    for (const std::string& voulue : lignes_crlf(lire_brut(cas / "suivi_attendu.txt"))) {
        const bool prefixe = !voulue.empty() && voulue.back() == '*';
        const std::string debut = prefixe ? voulue.substr(0, voulue.size() - 1) : voulue;
        while (i < lignes.size() && !(prefixe ? lignes[i].starts_with(debut) : lignes[i] == voulue))
            ++i;
        if (i == lignes.size()) {
            const fs::path actuel = fs::path(TARVO_GOLDEN_SORTIE) / (nom + ".suivi.actual");
            ecrire_brut(actuel, *suivi);
            ADD_FAILURE() << nom << ": tracking line missing or out of order: <"
                          << cp1252_vers_utf8(voulue) << ">, see " << actuel;
            break;
        }
        ++i;
    }
    fs::remove_all(racine);
}

INSTANTIATE_TEST_SUITE_P(Cas, Golden, testing::ValuesIn(noms_des_cas()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
}  // namespace tarvo
