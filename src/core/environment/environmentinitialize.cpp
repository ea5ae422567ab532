#include "core/environment/environmentinitialize.h"

#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "media/decoderlib.h"
#include "media/encoderlib.h"
#include "media/utfconvert.h"

void EnvironmentInitialize::initEnvironment()
{
    logging::install();
    const WidePath appPath(AppPlaces::applicationFolder().toUtf8().toStdString());
    qCDebug(lcApp).noquote() << "application path" << QString::fromStdString(appPath.toUtf8());
    DecMgrInit();
    // The encoder's plug-ins rely on the decoder being up.
    FCInitPlugins();
}

void EnvironmentInitialize::uninitEnvironment()
{
    FCUninitPlugins();
    DecMgrUninit();
}
