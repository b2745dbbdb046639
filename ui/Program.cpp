#include "ui/Program.h"

#include "core/FileUtils.h"
#include "core/Startup.h"
#include "ui/cCommonDialog.h"
#include "ui/frmMain.h"

namespace korvane {

Program::Program(Options options) : m_state(m_operator, m_systemClock) {
    m_state.programDir = WithTrailingSep(options.programDir);
    m_state.executableDir = options.executableDir;
    m_state.bResumeWithoutAsking = options.resume;
    if (options.boxes) {
        m_operator.setBoxPresenter(std::move(options.boxes));
    }
    FileDialog* dialog = options.fileDialog;
    if (!dialog) {
        m_ownDialog = std::make_unique<cCommonDialog>();
        dialog = m_ownDialog.get();
    }
    m_main = std::make_unique<frmMain>(m_state, *dialog);
    m_operator.attach(m_main.get());
}

Program::~Program() {
    m_operator.attach(nullptr);
}

bool Program::Main() {
    m_main->show();
    if (!korvane::Main(m_state)) {
        return false;
    }
    m_main->showProject();
    m_main->resumeProject();
    return true;
}

}  // namespace korvane
