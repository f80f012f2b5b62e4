// Crash report upload: the multipart request to the report server.
#include "crash/CrashHandler.h"

#include "app/KavoAppBase.h"
#include "base/Buffer.h"
#include "base/StringUtils.h"
#include "crash/HTTPTransfer.h"

#include <map>

namespace Kavo
{

namespace
{

const char kBoundary[] = "---------------------------7d3e1f30eec";

void AppendPart(std::string& body, const std::string& name, const std::string& value)
{
    body += std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n";
    body += "\r\n";
    body += value;
    body += "\r\n";
}

} // namespace

std::string CrashHandler::MakeUploadRequest()
{
    KavoAppBase* app = gKavoAppForCrash.load();
    std::string body;
    std::map<std::string, std::string> fields;
    if (app) app->GetCrashReportFields(fields);
    for (const auto& field : fields)
        AppendPart(body, field.first, field.second);
    AppendPart(body, "prod", app ? app->mProductName : std::string());
    AppendPart(body, "version", app ? app->mProductVersion : std::string());
    AppendPart(body, "usertext", UserText);
    AppendPart(body, "errortitle", ErrorTitle);
    AppendPart(body, "errortext", ReportText);
    if (AttachFile)
    {
        // An attachment that cannot be read goes as a part without data.
        Buffer attachment;
        ReadFileToBuffer(AttachmentPath, attachment);
        body += std::string("--") + kBoundary +
                "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"jorvix.dmo\"\r\n";
        body += "Content-Type: application/octet-stream\r\n";
        body += "\r\n";
        if (attachment.GetDataPtr())
            body.append(reinterpret_cast<const char*>(attachment.GetDataPtr()),
                        size_t(attachment.GetDataLen()));
        body += "\r\n";
    }
    body += std::string("--") + kBoundary + "--\r\n";

    std::string request = "POST /vantro_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=";
    request += kBoundary;
    request += "\r\nUser-Agent: Mozilla/4.0 (compatible; jorvix)\r\n";
    request += "Host: " + ServerHost + "\r\n";
    request += StrFormat("Content-Length: %d\r\n", int(body.size()));
    request += "Connection: close\r\n";
    request += "\r\n";
    request += body;
    return request;
}

void CrashHandler::SubmitReport()
{
    gHTTPTransfer.SendRequest(ServerHost, MakeUploadRequest());
}

} // namespace Kavo
