#include "ui/plateforme_qt.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTranslator>
#include <algorithm>
#include <chrono>
#include <vector>

#include "formats/texte.h"
#include "ui/conversions_qt.h"

namespace tarvo {

bool charger_traductions_qt() {
    bool charge = false;
    for (const char* module : {"qtbase_fr", "qt_fr"}) {
        auto* traduction = new QTranslator(QCoreApplication::instance());
        if (traduction->load(QLatin1String(module),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(traduction);
            charge = true;
        } else {
            delete traduction;
        }
    }
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    return charge;
}

namespace {

const QString titre_boites = QStringLiteral(" T A R V O ");

QMessageBox::Icon icone_de(TypeMessage type) {
    switch (type) {
        case TypeMessage::avertissement:
            return QMessageBox::Warning;
        case TypeMessage::erreur:
            return QMessageBox::Critical;
        case TypeMessage::information:
            return QMessageBox::Information;
        case TypeMessage::confirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QStyle::StandardPixmap pixmap_de(TypeMessage type) {
    switch (type) {
        case TypeMessage::avertissement:
            return QStyle::SP_MessageBoxWarning;
        case TypeMessage::erreur:
            return QStyle::SP_MessageBoxCritical;
        case TypeMessage::information:
            return QStyle::SP_MessageBoxInformation;
        case TypeMessage::confirmation:
            return QStyle::SP_MessageBoxQuestion;
    }
    return QStyle::SP_MessageBoxInformation;
}

// The texts hold "<" and ">" of their own: never let Qt take them for markup.
void preparer_boite(QMessageBox& boite, std::string_view texte, TypeMessage type) {
    boite.setWindowTitle(titre_boites);
    boite.setIcon(icone_de(type));
    boite.setTextFormat(Qt::PlainText);
    boite.setText(qt(texte));
}

// Where the three-button box puts its parts, in pixels of the client area.
constexpr int marge = 20;
constexpr int espace_icone = 12;
constexpr int largeur_bouton = 140;
constexpr int bouton_au_dessus_du_bas = 50;
constexpr int supplement_hauteur = 20;

}  // namespace

void DialogueQt::preparer_fenetre() const {
    if (avant_boite) avant_boite();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DialogueQt::message(IdMessage, std::string_view texte, TypeMessage type) {
    preparer_fenetre();
    QMessageBox boite(parent_);
    preparer_boite(boite, texte, type);
    auto* ok = new QPushButton(QStringLiteral("OK"), &boite);
    boite.addButton(ok, QMessageBox::AcceptRole);
    boite.setDefaultButton(ok);
    boite.setEscapeButton(ok);
    boite.exec();
}

Reponse DialogueQt::question(IdMessage, std::string_view texte, TypeMessage type, Boutons boutons,
                             std::optional<Reponse> defaut) {
    preparer_fenetre();
    QMessageBox boite(parent_);
    preparer_boite(boite, texte, type);
    std::vector<std::pair<QPushButton*, Reponse>> choix;
    const auto ajouter = [&](const char* legende, QMessageBox::ButtonRole role, Reponse r) {
        auto* b = new QPushButton(QString::fromLatin1(legende), &boite);
        boite.addButton(b, role);
        choix.emplace_back(b, r);
    };
    switch (boutons) {
        case Boutons::oui_non:
            ajouter("Oui", QMessageBox::YesRole, Reponse::oui);
            ajouter("Non", QMessageBox::NoRole, Reponse::non);
            break;
        case Boutons::oui_non_annuler:
            ajouter("Oui", QMessageBox::YesRole, Reponse::oui);
            ajouter("Non", QMessageBox::NoRole, Reponse::non);
            ajouter("Annuler", QMessageBox::RejectRole, Reponse::annuler);
            break;
        case Boutons::oui_annuler:
            ajouter("Oui", QMessageBox::YesRole, Reponse::oui);
            ajouter("Annuler", QMessageBox::RejectRole, Reponse::annuler);
            break;
        case Boutons::ok:
            ajouter("OK", QMessageBox::AcceptRole, Reponse::ok);
            break;
    }
    QPushButton* par_defaut = choix.front().first;
    for (const auto& [bouton, reponse] : choix)
        if (defaut == reponse) par_defaut = bouton;
    boite.setDefaultButton(par_defaut);
    // Closing the box is the most cautious answer it offers: Annuler, else Non.
    boite.setEscapeButton(choix.back().first);
    boite.exec();
    for (const auto& [bouton, reponse] : choix)
        if (boite.clickedButton() == bouton) return reponse;
    return choix.back().second;
}

std::unique_ptr<QDialog> DialogueQt::construire_message_perso(
    QWidget* parent, std::string_view texte, TypeMessage type, std::string_view legende1,
    std::string_view legende2, std::string_view legende3) {
    auto boite = std::make_unique<QDialog>(parent);
    boite->setObjectName(QStringLiteral("MessagePerso"));
    boite->setWindowTitle(titre_boites);

    auto* icone = new QLabel(boite.get());
    const QStyle* style = boite->style();
    const int taille_icone =
        style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, boite.get());
    icone->setPixmap(style->standardIcon(pixmap_de(type), nullptr, boite.get())
                         .pixmap(taille_icone, taille_icone));
    icone->move(marge, marge);
    icone->resize(icone->sizeHint());

    auto* message = new QLabel(boite.get());
    message->setObjectName(QStringLiteral("texte_message"));
    message->setTextFormat(Qt::PlainText);
    message->setText(qt(texte));
    message->move(marge + icone->width() + espace_icone, marge);
    message->resize(message->sizeHint());

    // Button 1 is always there; an empty caption 2 or 3 means no such button.
    std::vector<QPushButton*> boutons;
    const std::string_view legendes[] = {legende1, legende2, legende3};
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && legendes[i].empty()) continue;
        auto* b = new QPushButton(qt(legendes[i]), boite.get());
        b->setObjectName(QStringLiteral("bouton%1").arg(i + 1));
        QObject::connect(b, &QPushButton::clicked, boite.get(),
                         [d = boite.get(), resultat = i + 1] { d->done(resultat); });
        boutons.push_back(b);
    }
    const int hauteur_bouton = boutons.front()->sizeHint().height();

    // The box first takes the size its icon and text need, then widens for the longest
    // line, the captions and the row of buttons.
    int largeur = message->x() + message->width() + marge;
    const QFontMetrics metrique_texte = message->fontMetrics();
    for (const QString& ligne : message->text().split(QLatin1Char('\n')))
        largeur = std::max(largeur, metrique_texte.horizontalAdvance(ligne) + 100);
    const int somme_largeurs = static_cast<int>(boutons.size()) * largeur_bouton;
    for (QPushButton* b : boutons)
        largeur = std::max(largeur, b->fontMetrics().horizontalAdvance(b->text()) + 100);
    largeur = std::max(largeur, somme_largeurs + 30);

    const int hauteur_contenu = marge + std::max(icone->height(), message->height()) + marge;
    const int hauteur = hauteur_contenu + hauteur_bouton + marge + supplement_hauteur;
    const int haut_boutons = hauteur - bouton_au_dessus_du_bas;

    // Equal gaps before, between and after the buttons; a lone button is centred.
    const int n = static_cast<int>(boutons.size());
    const int ecart =
        n == 1 ? (largeur - largeur_bouton) / 2 : (largeur - somme_largeurs) / (n + 1);
    int x = ecart;
    for (QPushButton* b : boutons) {
        b->setGeometry(x, haut_boutons, largeur_bouton, hauteur_bouton);
        x += largeur_bouton + ecart;
    }

    boite->setFixedSize(largeur, hauteur);
    const QScreen* ecran = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (ecran) {
        QRect cadre(QPoint(0, 0), boite->size());
        cadre.moveCenter(ecran->availableGeometry().center());
        boite->move(cadre.topLeft());
    }
    return boite;
}

int DialogueQt::message_perso(IdMessage, std::string_view texte, TypeMessage type,
                              std::string_view legende1, std::string_view legende2,
                              std::string_view legende3) {
    preparer_fenetre();
    const auto boite = construire_message_perso(parent_, texte, type, legende1, legende2, legende3);
    const int resultat = boite->exec();
    return resultat >= 1 && resultat <= 3 ? resultat : 2;
}

std::int64_t ProgressionQt::horloge_monotone() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ProgressionQt::afficher_progression(std::string_view message, int chronometre) {
    const std::int64_t maintenant = horloge_();
    if (chronometre >= 1 && chronometre <= 3) {
        if (chronometre != chronometre_) {
            chronometre_ = chronometre;
            debut_chronometre_ = maintenant;
        }
        durees_[static_cast<std::size_t>(chronometre - 1)] =
            static_cast<double>(maintenant - debut_chronometre_) / 1000.0;
    }
    // Redrawing only when a displayed second changes, and never twice within a second even
    // when a stage hands over to the next, keeps the label readable and a per-line call cheap.
    if (!Label6_ || (dernier_affichage_ && maintenant - *dernier_affichage_ < 1000)) return;
    const QString texte = qt(texte_durees(durees_[0], durees_[1], durees_[2]));
    if (texte == Label6_->text()) return;
    dernier_affichage_ = maintenant;
    Label6_->setText(texte);
    Label_patienter_->setText(qt(message));
    Label_patienter_->setVisible(true);
}

void ProgressionQt::afficher_temps_restant(std::string_view texte) {
    // Once a second, as the stopwatches: a figure that changes faster cannot be read.
    const std::int64_t maintenant = horloge_();
    if (!Label10_ || (dernier_reste_ && maintenant - *dernier_reste_ < 1000)) return;
    dernier_reste_ = maintenant;
    if (const QString nouveau = qt(texte); nouveau != Label10_->text()) Label10_->setText(nouveau);
}

void ProgressionQt::remettre_a_zero() {
    durees_ = {};
    dernier_affichage_.reset();
    chronometre_ = 0;
}

void ProgressionQt::traiter_evenements() {
    // Called after every line: one pass of events every 25 ms is enough for the stop button.
    const std::int64_t maintenant = horloge_();
    if (derniers_evenements_ && maintenant - *derniers_evenements_ < 25) return;
    QCoreApplication::processEvents();
    derniers_evenements_ = maintenant;
}

std::string PressePapierQt::lire_texte() {
    const QClipboard* presse_papier = QGuiApplication::clipboard();
    return presse_papier ? cp(presse_papier->text()) : std::string();
}

void PressePapierQt::ecrire_texte(std::string_view texte) {
    if (QClipboard* presse_papier = QGuiApplication::clipboard()) presse_papier->setText(qt(texte));
}

}  // namespace tarvo
