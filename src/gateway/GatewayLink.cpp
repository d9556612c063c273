#include "GatewayLink.h"

int SendGatewayText(CGatewayLink &link, const QByteArray &text)
{
    const int blocks = link.write(text);
    link.echoSent(text);
    return blocks;
}
