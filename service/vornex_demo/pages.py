"""The service's HTML pages, in Chinese, UTF-8, working without script.

The client shows the start page in a 1200 x 650 browser area, so the start
page is laid out to fit that area without scrolling: the form and the new
link on the left, the recent links on the right. Script (static/app.js) only
adds the copy buttons; without it the short link sits in a read-only field
that can be selected and copied by hand.
"""

import time

from .addresses import readable_address
from .markup import Html, html, join

PRODUCT = "Vornex短网址"
CONTACT_EMAIL = "support@vornex.example"
CONTACT_PHONE = "400-820-0000"


def _when(timestamp):
    return time.strftime("%Y-%m-%d %H:%M", time.localtime(timestamp))


def layout(title, body, active=""):
    def nav(href, label, key):
        return html('<a href="{}"{}>{}</a>', href, Html(' class="active"' if key == active else ""), label)

    return html(
        '<!DOCTYPE html>\n<html lang="zh-CN"><head><meta charset="utf-8">'
        '<meta name="viewport" content="width=device-width, initial-scale=1">'
        '<title>{}</title><link rel="stylesheet" href="/static/style.css">'
        '<link rel="icon" href="/static/icon.svg" type="image/svg+xml">'
        '<script src="/static/app.js" defer></script></head>'
        '<body><header class="top"><a class="brand" href="/"><span class="logo">V</span>{}</a>'
        '<nav>{}{}</nav></header><main>{}</main>'
        '<footer>{} · 联系我们：<a href="mailto:{}">{}</a> · 电话 {}</footer></body></html>\n',
        title, PRODUCT, nav("/", "主页", "home"), nav("/contact", "联系我们", "contact"), body,
        PRODUCT, CONTACT_EMAIL, CONTACT_EMAIL, CONTACT_PHONE)


def _short_link_box(base_url, link):
    short_url = base_url + link.code
    return html(
        '<section class="result" aria-live="polite"><h2>短链接已生成</h2>'
        '<div class="copyrow"><input class="short" id="short-url" type="text" readonly value="{}" '
        'aria-label="短链接"><button type="button" class="copy" data-copy="{}" hidden>复制</button></div>'
        '<p class="target">指向 <a href="{}" rel="noopener noreferrer">{}</a></p></section>',
        short_url, short_url, link.address, readable_address(link.address))


def _recent_table(base_url, links):
    if not links:
        return Html('<p class="empty">还没有短链接。在左侧输入一个链接试试。</p>')
    rows = join(
        html('<tr><td class="code"><a href="/{}">{}</a>'
             '<button type="button" class="copy small" data-copy="{}" hidden>复制</button></td>'
             '<td class="addr" title="{}">{}</td><td class="num">{}</td><td class="when">{}</td></tr>',
             link.code, link.code, base_url + link.code, link.address, readable_address(link.address),
             link.visits, _when(link.created))
        for link in links)
    return html('<table class="links"><thead><tr><th>短链接</th><th>原始链接</th><th class="num">访问</th>'
                '<th class="when">创建时间</th></tr></thead><tbody>{}</tbody></table>', rows)


def start_page(base_url, recent, created=None, error="", entered=""):
    message = html('<p class="error" role="alert">{}</p>', error) if error else Html("")
    result = _short_link_box(base_url, created) if created else Html("")
    body = html(
        '<div class="columns"><section class="card shorten">'
        '<h1>把长链接变短</h1><p class="lead">粘贴一个以 http:// 或 https:// 开头的链接，'
        '得到一个便于分享的短链接，并随时查看它被访问了多少次。</p>'
        '<form method="post" action="/shorten" accept-charset="utf-8" class="shorten-form">'
        '<label for="url">长链接</label><div class="inputrow">'
        '<input id="url" name="url" type="text" inputmode="url" autocomplete="off" '
        'placeholder="https://example.com/一个很长的地址" value="{}" maxlength="2048" required autofocus>'
        '<button type="submit">生成短链接</button></div>{}</form>{}'
        '<ul class="points"><li>只接受 http 和 https 链接</li><li>每次访问都会计数</li>'
        '<li>链接永久保存，不会过期</li></ul></section>'
        '<section class="card recent"><h2>最近的短链接</h2><div class="scroll">{}</div></section></div>',
        entered, message, result, _recent_table(base_url, recent))
    return layout(PRODUCT + " - 主页", body, "home")


def contact_page():
    body = html(
        '<div class="columns"><section class="card"><h1>联系我们</h1>'
        '<p class="lead">对 {} 有任何问题、建议或合作意向，欢迎随时联系我们。</p>'
        '<dl class="contact"><dt>电子邮件</dt><dd><a href="mailto:{}">{}</a></dd>'
        '<dt>客服电话</dt><dd>{}（工作日 9:00–18:00）</dd>'
        '<dt>地址</dt><dd>上海市浦东新区示例路 88 号</dd></dl></section>'
        '<section class="card"><h2>常见问题</h2><dl class="faq">'
        '<dt>短链接会过期吗？</dt><dd>不会。短链接一经生成便永久有效。</dd>'
        '<dt>可以缩短哪些链接？</dt><dd>以 http:// 或 https:// 开头、不超过 2048 个字符的网址。</dd>'
        '<dt>访问次数如何统计？</dt><dd>每次有人打开短链接并被转到原始链接时计一次。</dd>'
        '</dl><p><a class="button" href="/">返回主页，生成短链接</a></p></section></div>',
        PRODUCT, CONTACT_EMAIL, CONTACT_EMAIL, CONTACT_PHONE)
    return layout("联系我们 - " + PRODUCT, body, "contact")


def message_page(status, heading, text):
    body = html('<section class="card narrow"><p class="status">{}</p><h1>{}</h1><p>{}</p>'
                '<p><a class="button" href="/">返回主页</a></p></section>', status, heading, text)
    return layout("%s - %s" % (heading, PRODUCT), body)


def not_found_page(code):
    shown = code if len(code) <= 64 else code[:64] + "…"
    return message_page(404, "找不到这个短链接", "短链接 /%s 不存在，可能输入有误。" % shown)
