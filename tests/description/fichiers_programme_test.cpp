#include "description/fichiers_programme.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dossier_temporaire.h"
#include "formats/fichiers.h"

namespace tarvo {
namespace {

class FichiersProgramme : public DossierTemporaire {
protected:
    // The lines of a numbered-line file, CR LF checked.
    std::vector<std::string> lignes(const std::string& relatif) const {
        const std::string t = lire(relatif);
        std::vector<std::string> l;
        for (std::size_t debut = 0; debut < t.size();) {
            const auto fin = t.find("\r\n", debut);
            EXPECT_NE(fin, std::string::npos);
            if (fin == std::string::npos) break;
            l.push_back(t.substr(debut, fin - debut));
            debut = fin + 2;
        }
        return l;
    }
};

TEST_F(FichiersProgramme, DossierDuProgramme) {
    const std::string racine = racine_.string();
    std::filesystem::create_directories(racine_ / "exe");
    struct Cas {
        const char* quoi;
        EnvironnementProgramme env;
        std::string attendu;
    };
    const std::vector<Cas> cas{
        {"variable",
         {racine + "/choisi", racine + "/exe", racine + "/xdg", racine + "/home"},
         racine + "/choisi/"},
        {"executable",
         {std::nullopt, racine + "/exe", racine + "/xdg", racine + "/home"},
         racine + "/exe/"},
        {"xdg",
         {std::nullopt, racine + "/lecture-seule", racine + "/xdg", racine + "/home"},
         racine + "/xdg/tarvo/"},
        {"home",
         {std::nullopt, "", std::nullopt, racine + "/home"},
         racine + "/home/.config/tarvo/"},
        {"xdg relatif",
         {std::nullopt, "", "relatif", racine + "/home"},
         racine + "/home/.config/tarvo/"},
    };
    for (const auto& c : cas) {
        const std::string d = resoudre_dossier_programme(c.env);
        EXPECT_EQ(d, c.attendu) << c.quoi;
        EXPECT_TRUE(c.env.variable || std::filesystem::is_directory(d)) << c.quoi;
    }
    EXPECT_EQ(fichier_prm(racine + "/exe"), racine + "/exe/tarvo.prm");
    EXPECT_EQ(fichier_2dt(racine + "/exe/"), racine + "/exe/tarvo.2dt");
}

TEST(Couleur, LigneDeCouleur) {
    struct Cas {
        std::string ligne;
        std::optional<Couleur> attendu;
    };
    const std::vector<Cas> cas{
        {"255,245,221", Couleur{255, 245, 221}},
        {"0,0,0", Couleur{0, 0, 0}},
        {" 12, 34 ,56 ", Couleur{12, 34, 56}},
        {"12,34", std::nullopt},
        {"1,2,3,4", std::nullopt},
        {",,", std::nullopt},
        {"rouge,vert,bleu", std::nullopt},
        {"256,0,0", std::nullopt},
        {"-1,0,0", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cas) EXPECT_EQ(lire_ligne_couleur(c.ligne), c.attendu) << c.ligne;
}

TEST_F(FichiersProgramme, LectureDuFichierPrm) {
    EXPECT_EQ(lire_fichier_prm(chemin("absent.prm")).couleurs, couleurs_par_defaut);

    // Only line 1, as the description commands leave it: line 6 is empty, colours default.
    creer("court.prm", "/d/essai.DSC\r\n");
    const auto court = lire_fichier_prm(chemin("court.prm"));
    EXPECT_EQ(lire_ligne_parametre(chemin("court.prm"), 6), "");
    EXPECT_EQ(court.derniere_description, "/d/essai.DSC");
    EXPECT_EQ(court.couleurs, couleurs_par_defaut);
    EXPECT_EQ(court.RadioGroup_coul_nb, 0);

    creer("tarvo.prm", "/d/essai.DSC\r\n1,2,3\r\n4,5\r\nrouge,vert,bleu\r\n7,8,9\r\nx\r\n");
    const auto p = lire_fichier_prm(chemin("tarvo.prm"));
    const std::array<Couleur, 4> attendu{
        {{1, 2, 3}, couleurs_par_defaut[1], couleurs_par_defaut[2], {7, 8, 9}}};
    EXPECT_EQ(p.couleurs, attendu);
    EXPECT_EQ(p.RadioGroup_coul_nb, 1);

    for (const auto& [ligne6, mode] : {std::pair{"0", 0}, std::pair{"1", 1}, std::pair{"", 0}}) {
        creer("mode.prm", std::string("a\r\n\r\n\r\n\r\n\r\n") + ligne6 + "\r\n");
        EXPECT_EQ(lire_fichier_prm(chemin("mode.prm")).RadioGroup_coul_nb, mode) << ligne6;
    }
}

TEST_F(FichiersProgramme, EcriturePrmApresUneDescription) {
    creer("tarvo.prm", "ancienne\r\n1,1,1\r\n2,2,2\r\n3,3,3\r\n4,4,4\r\n0\r\ngarde\r\n");
    const std::array<Couleur, 4> couleurs{{{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {1, 2, 3}}};

    // Grey mode: the colour lines stay as they were, so colour mode can find them again.
    ecrire_prm_apres_description(chemin("tarvo.prm"), "/d/crues.dsc", 1, couleurs);
    auto l = lignes("tarvo.prm");
    ASSERT_EQ(l.size(), 60u);
    EXPECT_EQ((std::vector<std::string>(l.begin(), l.begin() + 7)),
              (std::vector<std::string>{"/d/crues.dsc", "1,1,1", "2,2,2", "3,3,3", "4,4,4", "1",
                                        "garde"}));

    ecrire_prm_apres_description(chemin("tarvo.prm"), "/d/crues.dsc", 0, couleurs);
    l = lignes("tarvo.prm");
    ASSERT_EQ(l.size(), 60u);
    EXPECT_EQ((std::vector<std::string>(l.begin(), l.begin() + 7)),
              (std::vector<std::string>{"/d/crues.dsc", "10,20,30", "40,50,60", "70,80,90", "1,2,3",
                                        "0", "garde"}));
    EXPECT_EQ(lire_fichier_prm(chemin("tarvo.prm")).couleurs, couleurs);
}

TEST_F(FichiersProgramme, FichierGrille2dt) {
    const ParametresGrille2dt actuels{
        "01/01/2024 00:00:00", "02/01/2024 00:00:00", "00:15:00", "97", 1, 0, 0};
    EXPECT_EQ(lire_fichier_2dt(chemin("absent.2dt"), actuels), actuels);

    const ParametresGrille2dt g{
        "01/03/2024 00:00:00", "31/03/2024 00:00:00", "01:00:00", "745", 2, 1, 3};
    ecrire_fichier_2dt(chemin("tarvo.2dt"), g);
    EXPECT_EQ(lignes("tarvo.2dt").size(), 60u);
    EXPECT_EQ(lire_fichier_2dt(chemin("tarvo.2dt"), actuels), g);

    // Empty lines and a number that is no number leave the current settings.
    creer("partiel.2dt", "05/05/2024 00:00:00\r\n\r\n\r\n\r\ndeux\r\n1\r\n");
    ParametresGrille2dt attendu = actuels;
    attendu.Label_temps_deb = "05/05/2024 00:00:00";
    attendu.test_strict = 1;
    EXPECT_EQ(lire_fichier_2dt(chemin("partiel.2dt"), actuels), attendu);
}

}  // namespace
}  // namespace tarvo
