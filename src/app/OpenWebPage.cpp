#include "app/OpenWebPage.h"

#include "platform/WebPage.h"

void OpenWebPage(const std::string& address) { platform::OpenWebPage(address); }
