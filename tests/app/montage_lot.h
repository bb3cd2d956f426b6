// What the tests of the batch program as a real process share: a copy of the shipped example
// in a directory of its own, and descriptions made from the example's. The including test
// defines TARVO_LOT and TARVO_EXEMPLES.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "outils_lot.h"

namespace tarvo::essai_lot {

namespace fs = std::filesystem;

// A copy of the shipped example in a directory of its own, with descriptions made from
// the example's by replacing some keys.
class TarvoLot : public ::testing::Test {
protected:
    void SetUp() override {
        racine_ = fs::temp_directory_path() /
                  ("tarvo-lot-test-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(racine_);
        donnees_ = racine_ / "donnees";
        // The output beside the data under EXPORT: the layout the program expects, so that
        // no directory question comes before the one a test is about.
        sortie_ = donnees_ / "EXPORT";
        fs::create_directories(sortie_);
        for (const auto& f : fs::directory_iterator(TARVO_EXEMPLES))
            if (f.path().extension() == ".csv")
                fs::copy_file(f.path(), donnees_ / f.path().filename());
    }
    void TearDown() override { fs::remove_all(racine_); }

    // The example's description with the three directories of this test and the keys given.
    std::string description(std::map<std::string, std::string> cles = {},
                            const std::string& nom = "essai.dsc",
                            const fs::path& modele = fs::path(TARVO_EXEMPLES) /
                                                     "LeGue_horaire.dsc") {
        cles.emplace("dossier_choisi", donnees_.string() + "/");
        cles.emplace("dossier_choisi_sortie", sortie_.string() + "/");
        cles.emplace("dossier_description", racine_.string() + "/");
        const fs::path p = racine_ / nom;
        std::ofstream(p, std::ios::binary) << description_modifiee(lire(modele), cles);
        return p.string();
    }

    std::vector<fs::path> fichiers_sortie() const {
        std::vector<fs::path> v;
        for (const auto& f : fs::directory_iterator(sortie_)) v.push_back(f.path());
        return v;
    }

    fs::path racine_, donnees_, sortie_;
};

inline bool contient(const std::string& texte, const std::string& morceau) {
    return texte.find(morceau) != std::string::npos;
}

}  // namespace tarvo::essai_lot
