// An application with nothing on its screen, run until its window is closed. The processor time
// it takes is the main loop's own: docs/performance.md measures it under "Main loop".
#include "app/KavoAppBase.h"

namespace
{

class IdleApp : public Kavo::KavoAppBase
{
public:
    IdleApp()
    {
        mCompanyName = "VelquisGames";
        mProductName = "KavoIdle";
        mRegKey = "VelquisGames\\KavoIdle";
        mWidth = 800;
        mHeight = 600;
        mIsWindowed = true;
        mLoadingThreadEnabled = false;
    }
};

} // namespace

int main()
{
    IdleApp* app = new IdleApp();
    app->Initialize();
    app->RunMainLoop();
    app->DeletingDestructor(1);
    return 0;
}
