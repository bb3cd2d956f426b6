#include "ui/aide_fenetre.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>

#include "session/aide.h"
#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"

namespace tarvo {

namespace {

// The graph window is a child of the main window and reuses some names (`Memo2`, `Memo3`).
template <class T = QWidget>
T* de_la_fenetre(QWidget* fenetre, const char* nom) {
    for (T* w : fenetre->findChildren<T*>(QLatin1String(nom)))
        if (w->window() == fenetre) return w;
    return nullptr;
}

// Only the lines that changed are written when the count matches: rewriting the whole
// text at every pointer move makes it flicker.
void remplir(QPlainTextEdit* texte, const std::vector<std::string>& lignes) {
    std::vector<std::string> affichees;
    for (QTextBlock b = texte->document()->begin(); b.isValid(); b = b.next())
        affichees.push_back(cp(b.text()));
    const auto changees = lignes_a_remplacer(affichees, lignes);
    if (!changees) {
        QStringList tout;
        for (const std::string& l : lignes) tout << qt(l);
        texte->setPlainText(tout.join(QLatin1Char('\n')));
        return;
    }
    for (int i : *changees) {
        QTextCursor c(texte->document()->findBlockByNumber(i));
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(qt(lignes[static_cast<std::size_t>(i)]));
    }
}

class AideFenetre : public QObject {
public:
    AideFenetre(QWidget* fenetre, const Session& session)
        : QObject(fenetre), fenetre_(fenetre), session_(session) {
        zone_ = de_la_fenetre<QPlainTextEdit>(fenetre, "Memo2");
        coche_ = de_la_fenetre<QCheckBox>(fenetre, "CheckBox_aide_flottante");
        label37_ = de_la_fenetre(fenetre, "Label37");

        QFont police = zone_->font();
        police.setPointSize(10);
        zone_->setFont(police);
        QPalette p = zone_->palette();
        p.setColor(QPalette::Text, QColor(128, 0, 0));
        zone_->setPalette(p);
        donner_role(zone_, RoleCouleur::saisie);
        const int marges =
            2 * (zone_->frameWidth() + static_cast<int>(zone_->document()->documentMargin()));
        zone_->setFixedHeight(6 * QFontMetrics(police).lineSpacing() + marges);
        zone_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

        boite_ = nomme<QPlainTextEdit>("Memo3", fenetre);
        boite_->setReadOnly(true);
        boite_->setLineWrapMode(QPlainTextEdit::NoWrap);
        boite_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        boite_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        boite_->document()->setDocumentMargin(1);
        // 15 pixels a line are given to the box: its text is drawn a size smaller.
        boite_->setFont(QFont(fenetre->font().family(), 8));
        QPalette blanc = boite_->palette();
        blanc.setColor(QPalette::Base, Qt::white);
        blanc.setColor(QPalette::Text, Qt::black);
        boite_->setPalette(blanc);
        // A click meant for the window goes through the box to what lies under it.
        boite_->setAttribute(Qt::WA_TransparentForMouseEvents);
        boite_->hide();

        connect(coche_, &QCheckBox::toggled, this, [this](bool coche) {
            if (coche)
                montrer(coche_, coche_->mapToGlobal(coche_->rect().center()));
            else
                boite_->hide();
        });
        qApp->installEventFilter(this);
    }
    ~AideFenetre() override { qApp->removeEventFilter(this); }
    AideFenetre(const AideFenetre&) = delete;
    AideFenetre& operator=(const AideFenetre&) = delete;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        // Moves over controls without mouse tracking still pass through the application's
        // filters, which is why the filter sits there.
        if (evenement->type() != QEvent::MouseMove) return false;
        auto* w = qobject_cast<QWidget*>(objet);
        if (!w || !boite_ || !zone_ || !coche_ || w->window() != fenetre_) return false;
        const QPoint global = static_cast<QMouseEvent*>(evenement)->globalPosition().toPoint();
        // A move a control ignores goes on to its parents: the control is found from the
        // pointer, once per position.
        QWidget* sous = fenetre_->childAt(fenetre_->mapFromGlobal(global));
        if (!sous) sous = fenetre_;
        if (sous == dernier_ && global == dernier_point_) return false;
        // The help area stays while the pointer goes over to read it; the box takes no
        // pointer, so what lies under it is found instead.
        if (sous == zone_ || zone_->isAncestorOf(sous)) return false;
        montrer(sous, global);
        return false;
    }

private:
    void montrer(QWidget* sous, QPoint global) {
        dernier_ = sous;
        dernier_point_ = global;
        const EntreeAide* entree = nullptr;
        for (QWidget* w = sous; w && w != fenetre_ && !entree; w = w->parentWidget())
            entree = entree_aide(cp(w->objectName()));
        const LignesAide lignes =
            entree ? lignes_aide(*entree, session_.description.Edit_name_prog_blocnote)
                   : LignesAide{};
        const int n = lignes_a_afficher(lignes);

        if (const int taille = taille_police_aide(entree); zone_->font().pointSize() != taille) {
            QFont police = zone_->font();
            police.setPointSize(taille);
            zone_->setFont(police);
        }
        remplir(zone_, {lignes.begin(), lignes.begin() + n});
        // An empty white box trailing the pointer over the background only hides the window.
        boite_->setVisible(coche_->isChecked() && entree);
        if (!boite_->isVisible()) return;

        const LignesFlottantes flottantes = lignes_flottantes(lignes);
        const QFontMetrics mesure(boite_->font());
        MesuresAide m;
        for (std::size_t i = 0; i < lignes.size(); ++i)
            m.largeurs[i] = mesure.horizontalAdvance(qt(lignes[i]));
        const QPoint origine = fenetre_->mapToGlobal(QPoint(0, 0));
        m.pointeur_x = global.x();
        m.pointeur_y = global.y();
        m.fenetre_gauche = origine.x();
        m.fenetre_haut = origine.y();
        m.fenetre_largeur = fenetre_->width();
        m.fenetre_hauteur = fenetre_->height();
        m.haut_periode_traitee = label37_ ? label37_->mapTo(fenetre_, QPoint(0, 0)).y() : 0;
        if (sous != fenetre_) {
            const QPoint coin = sous->mapTo(fenetre_, QPoint(0, 0));
            m.controle_gauche = coin.x();
            m.controle_haut = coin.y();
            m.controle_largeur = sous->width();
            m.controle_hauteur = sous->height();
        }
        const CadreAide c = cadre_flottant(m, n, flottantes.numero);
        boite_->setGeometry(c.gauche, c.haut, c.largeur, c.hauteur);
        remplir(boite_, {flottantes.lignes.begin(), flottantes.lignes.begin() + n});
        boite_->raise();
    }

    QWidget* fenetre_;
    const Session& session_;
    // The window deletes its controls before this filter goes.
    QPointer<QPlainTextEdit> zone_;
    QPointer<QPlainTextEdit> boite_;
    QPointer<QCheckBox> coche_;
    QPointer<QWidget> label37_;
    QPointer<QWidget> dernier_;
    QPoint dernier_point_;
};

}  // namespace

void connecter_aide(const ContexteCommandes& contexte) {
    new AideFenetre(contexte.fenetre, *contexte.session);
}

}  // namespace tarvo
