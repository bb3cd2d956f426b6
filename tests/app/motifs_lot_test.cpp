// The patterns "tarvo-lot --motifs" shows: every example is a real export's line that the
// date reader reads as shown, and the program prints them all.
#include "app/motifs_lot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "formats/codes_nom_fichier.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "formats/texte.h"
#include "inventory/octets_fichier.h"
#include "outils_lot.h"

using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

namespace fs = std::filesystem;

// A day far from today, so that a name code giving no date cannot pass by chance.
constexpr double jour_fixe = 40000.0;

// The lines of an export as the loader sees them: a byte-order mark dropped, UTF-16 turned
// into Windows-1252.
std::vector<std::string> lignes_export(std::string_view fichier) {
    auto contenu = lire_fichier(std::string(TARVO_DONNEES_REELLES) + "/" + std::string(fichier));
    if (!contenu) return {};
    contenu->resize(convertir_selon_bom(contenu->data(), contenu->size()));
    std::vector<std::string> lignes;
    for (const std::string_view l : decouper_lignes(*contenu)) lignes.emplace_back(l);
    return lignes;
}

std::string nom_de(std::string_view fichier) {
    return fs::path(std::string(fichier)).filename().string();
}

TEST(ExemplesMotifs, ChaqueLigneEstDansSonExportEtSonFormatLaLitCommeAffiche) {
    for (const ExempleMotif& e : exemples_motifs()) {
        SCOPED_TRACE(std::string(e.fichier) + " : " + std::string(e.motif));
        if (e.ligne == 0) continue;
        // A line quoted from published data is read as quoted.
        std::string ligne = fr(e.extrait);
        if (!e.fichier.empty()) {
            const std::vector<std::string> lignes = lignes_export(e.fichier);
            ASSERT_GE(lignes.size(), static_cast<std::size_t>(e.ligne));
            ligne = lignes[static_cast<std::size_t>(e.ligne) - 1];
            EXPECT_TRUE(ligne.starts_with(fr(e.extrait))) << ligne;
        }

        // The field(s) and the pattern as the listing and the run put them together.
        std::string texte(champ_vue(ligne, e.colonne, e.separateur));
        std::string motif = fr(e.motif);
        if (e.colonne_heure > 0) {
            texte += " " + std::string(champ_vue(ligne, e.colonne_heure, e.separateur));
            motif += " " + fr(e.motif_heure);
        }
        // A quoted export is read with its quotes taken off.
        if (texte.size() >= 2 && texte.front() == '"' && texte.back() == '"')
            texte = texte.substr(1, texte.size() - 2);
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        JournalSuivi journal;
        EXPECT_EQ(lecteur.lire_date_heure_mesure(texte, motif, journal), fr(e.lu)) << texte;
        EXPECT_TRUE(journal.lignes().empty());
        // With a result zone, the offset written after the time is read too.
        LecteurDateMesure avec_zone;
        avec_zone.lire_decalage_utc = true;
        avec_zone.debut_listing();
        EXPECT_EQ(avec_zone.lire_date_heure_mesure(texte, motif, journal), fr(e.lu)) << texte;
        EXPECT_EQ(avec_zone.decalage_utc_lu,
                  e.decalage.empty() ? std::nullopt : std::optional<int>(e.decalage_secondes))
            << texte;
    }
}

TEST(ExemplesMotifs, ChaqueCodeLitLeNomDeSonExport) {
    for (const ExempleMotif& e : exemples_motifs()) {
        if (e.ligne != 0) continue;
        SCOPED_TRACE(std::string(e.extrait) + "  avec  " + std::string(e.motif));
        EXPECT_TRUE(fs::exists(fs::path(TARVO_DONNEES_REELLES) / std::string(e.fichier)));
        EXPECT_EQ(nom_de(e.fichier), e.extrait);
        if (e.famille == FamilleMotif::code_station) {
            EXPECT_EQ(lire_code_station(e.extrait, e.motif), e.lu);
        } else {
            ASSERT_EQ(e.famille, FamilleMotif::code_date_fichier);
            JournalSuivi journal;
            EXPECT_EQ(lire_date_nom_fichier(e.extrait, e.motif, journal, jour_fixe).texte, e.lu);
            EXPECT_TRUE(journal.lignes().empty());
        }
    }
}

// A family shown with a pattern of another would teach the wrong thing; a flexible pattern
// offered in the window without a real example would be the one a user cannot find.
TEST(ExemplesMotifs, ChaqueFamilleEtChaqueFormatSouplePropose) {
    std::set<FamilleMotif> vues;
    std::set<std::string> souples;
    for (const ExempleMotif& e : exemples_motifs()) {
        SCOPED_TRACE(std::string(e.motif));
        vues.insert(e.famille);
        const std::string motif = fr(e.motif);
        const bool souple = contient(motif, "souple");
        EXPECT_EQ(souple, e.famille == FamilleMotif::souple);
        EXPECT_EQ(LecteurDateMesure::lecture_ordonnee(motif),
                  e.famille == FamilleMotif::multiformat || e.famille == FamilleMotif::ou);
        EXPECT_EQ(e.colonne_heure > 0, !e.motif_heure.empty());
        if (e.famille == FamilleMotif::deux_colonnes) {
            EXPECT_GT(e.colonne_heure, 0);
        }
        if (souple && e.motif_heure.empty()) souples.insert(motif);
        if (souple && !e.motif_heure.empty()) souples.insert(motif + " " + fr(e.motif_heure));
    }
    // Every family but the numeric counts, for which no real export is at hand yet.
    EXPECT_EQ(vues.size(), 8u);
    for (const std::string& propose : motifs_date_heure_proposes())
        if (contient(propose, "souple")) {
            EXPECT_TRUE(souples.contains(propose)) << propose << " sans exemple";
        }
}

// The manual's appendix is where a user of the window learns the same patterns.
TEST(ManuelMotifs, LAnnexeCiteLesFormatsSouplesEtChaqueEnregistreur) {
    const auto manuel = lire_fichier(TARVO_MANUEL);
    ASSERT_TRUE(manuel);
    const auto annexe = manuel->find("# Annexe – Les formats de date et d'heure");
    ASSERT_NE(annexe, std::string::npos);
    const std::string_view texte = std::string_view(*manuel).substr(annexe);
    for (const std::string& m : motifs_date_heure_proposes())
        if (contient(m, "souple")) {
            EXPECT_TRUE(contient(texte, cp1252_vers_utf8(m))) << m;
        }
    for (const ExempleMotif& e : exemples_motifs())
        EXPECT_TRUE(contient(texte, e.motif)) << e.motif;
    for (const char* enregistreur :
         {"Campbell TOA5", "Onset HOBO", "Van Essen Diver", "Solinst", "Aqua TROLL", "YSI EXO",
          "Keller", "WATINA", "NIVUS", "STS", "## Fuseaux horaires", "tarvo-lot --motifs"})
        EXPECT_TRUE(contient(texte, enregistreur)) << enregistreur;
}

TEST(TarvoLotMotifs, AfficheChaqueFamilleEtChaqueExempleSansDescription) {
    const Execution e = lancer({"--motifs"});
    EXPECT_EQ(e.statut, 0);
    EXPECT_TRUE(e.erreurs.empty()) << e.erreurs;
    const auto present = [&](std::string_view t) { return e.sortie.find(t) != std::string::npos; };
    for (const char* famille :
         {"1. Position fixe", "2. Multiformat", "3. OU", "4. Date et heure dans deux colonnes",
          "5. Souple", "6. Dates compactes, heure 24 et heure en nombre",
          "7. Horodatages numériques", "8. Code de date du nom de fichier",
          "9. Code de station du nom de fichier"})
        EXPECT_TRUE(present(famille)) << famille;
    for (const ExempleMotif& x : exemples_motifs()) {
        EXPECT_TRUE(present(x.motif)) << x.motif;
        EXPECT_TRUE(present(x.fichier)) << x.fichier;
        EXPECT_TRUE(present("lu : " + std::string(x.lu))) << x.lu;
    }
    // Every pattern the window offers, in the terminal's UTF-8.
    for (const auto* liste : {&motifs_date_heure_proposes(), &motifs_date_proposes(),
                              &motifs_heure_proposes(), &codes_date_fichier_proposes()})
        for (const std::string& m : *liste)
            EXPECT_TRUE(present(cp1252_vers_utf8(m))) << cp1252_vers_utf8(m);
    EXPECT_TRUE(present("<TAB>")) << "the tabulations of a line are shown";

    const Execution aide = lancer({"--help"});
    EXPECT_EQ(aide.statut, 0);
    EXPECT_TRUE(aide.sortie.find("--motifs") != std::string::npos);
}

}  // namespace
