#include "SymmetryActions.h"

#include "Dialogs.h"
#include "EditorContext.h"
#include "Symmetry.h"

#include <QActionGroup>
#include <QMenu>

SymmetryActions::SymmetryActions(EditorContext *context, QMenu *mapMenu, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_commands(new QActionGroup(this))
{
    m_commands->setExclusive(false);
    QMenu *menu = mapMenu->addMenu(QStringLiteral("Make &symmetric"));
    menu->setObjectName(QStringLiteral("MakeSymmetricMenu"));
    static const char *const sides[] = {"Left", "Right", "Bottom", "Top"};
    for (int side = 0; side < 4; ++side) {
        for (auto mode : {vor4::Symmetry::Mirror, vor4::Symmetry::HalfTurn}) {
            const QString text = QStringLiteral("From the %1 half, %2")
                                     .arg(vor4::Symmetry::sideName(vor4::Symmetry::Side(side)),
                                          mode == vor4::Symmetry::Mirror ? QStringLiteral("mirrored") : QStringLiteral("turned"));
            auto *a = menu->addAction(text);
            a->setObjectName(QStringLiteral("Symmetric%1%2Action")
                                 .arg(QLatin1String(sides[side]),
                                      mode == vor4::Symmetry::Mirror ? QStringLiteral("Mirror") : QStringLiteral("Turn")));
            a->setToolTip(text + QStringLiteral(" onto the other half"));
            m_commands->addAction(a);
            connect(a, &QAction::triggered, this, [this, side, mode] {
                const vor4::Symmetry::Result r =
                    vor4::Symmetry::makeSymmetric(*m_context->document(), vor4::Symmetry::Side(side), mode);
                m_context->say(r.message);
                if (!r.ok)
                    Dialogs::instance().error(m_context->window(), r.message);
                else if (r.notable)
                    Dialogs::instance().information(m_context->window(), r.message);
            });
        }
    }
}
